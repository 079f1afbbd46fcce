// The Linux stand-ins for the token's groups and for running as another
// account, with real accounts: two throwaway users made with useradd (root
// only), the caller run as the first one through setpriv, su answering for
// the second one in a pseudo-terminal.
#include "base/Texto.h"
#include "platform/ArchivoSellado.h"
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "process/AdminRunAs2.h"
#include "process/EsAdmin.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

const std::string kA = "olvprueba_a", kB = "olvprueba_b", kClaveB = "Clave-B.2026";

int Sistema(const std::string& orden) {
    return std::system((orden + " >/dev/null 2>&1").c_str());
}

uid_t Uid(const std::string& usuario) {
    const passwd* p = ::getpwnam(usuario.c_str());
    return p ? p->pw_uid : static_cast<uid_t>(-1);
}

// Runs this test alone, in role `rol`, through setpriv with `opciones`, with
// `extra` after its arguments; answers its exit code.
int ComoUsuario(const std::string& rol, std::vector<std::string> opciones,
                const std::vector<std::string>& extra = {}) {
    const auto* t = testing::UnitTest::GetInstance()->current_test_info();
    opciones.insert(opciones.begin(), "/usr/bin/setpriv");
    for (const auto& a : prueba::ArgumentosHijo(std::string(t->test_suite_name()) + "." + t->name()))
        opciones.push_back(a);
    opciones.insert(opciones.end(), extra.begin(), extra.end());
    platform::ProcesoHijo p;
    return p.Iniciar(opciones, {{"OLVADO_TEST_ROL", rol}}) ? p.Esperar() : -1;
}

// A caller's own state: umask 000, USR1 ignored, USR2 blocked, output and a
// descriptor 9 to a file, a file-size soft limit of 100 KiB, and as modo
// asks the hard one too ("duro") or nice 7 ("nice").
void Degradar(const std::string& modo, const std::string& salida) {
    ::umask(0);
    ::signal(SIGUSR1, SIG_IGN);
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGUSR2);
    ::sigprocmask(SIG_BLOCK, &s, nullptr);
    for (int fd : {9, 1, 2})
        ::dup2(::open(salida.c_str(), O_WRONLY | O_CREAT, 0600), fd);
    rlimit limite{102400, modo == "duro" ? 102400 : RLIM_INFINITY};
    ::setrlimit(RLIMIT_FSIZE, &limite);
    ::setpriority(PRIO_PROCESS, 0, modo == "nice" ? 7 : 0);
}

// The role of account A: seals the program and swaps it when asked, degrades
// its own state when asked, then calls EjecutarComoUsuario with its last
// eight arguments ("-" an empty folder) and writes the code.
void LlamarYSalir() {
    auto v = testing::internal::GetArgvs();
    v.erase(v.begin(), v.end() - 8);
    const std::string &linea = v[2], &cambiar = v[5];
    if (!v[7].empty())
        Degradar(v[7], v[6] + ".salida");
    platform::ArchivoSellado sellado;
    if (!cambiar.empty()) {
        std::string ruta = linea.substr(1, linea.find('"', 1) - 1);
        if (!sellado.Abrir(ruta))
            std::exit(3);
        // The account's own file: rewritten in place, then replaced.
        std::fstream(ruta, std::ios::in | std::ios::out | std::ios::binary) << prueba::LeerArchivo(cambiar);
        fs::rename(cambiar, ruta);
    }
    int32_t codigo = EjecutarComoUsuario(v[0], v[1], "", linea, v[3] == "-" ? "" : v[3], v[4] == "1",
                                         sellado.Abierto() ? &sellado : nullptr);
    prueba::EscribirArchivo(v[6], std::to_string(codigo));
    std::exit(0);
}

class CuentaAjenaTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (::geteuid() != 0 || !prueba::RolHijo().empty())
            return;
        for (const auto& u : {kA, kB})
            Sistema("userdel -r " + u + " 2>/dev/null; useradd -m -s /bin/sh " + u);
        Sistema("printf '" + kA + ":Clave-A.2026\\n" + kB + ":" + kClaveB + "\\n' | chpasswd");
    }
    static void TearDownTestSuite() {
        if (::geteuid() == 0 && prueba::RolHijo().empty())
            Sistema("userdel -r " + kA + " 2>/dev/null; userdel -r " + kB);
    }
    void SetUp() override {
        if (prueba::RolHijo() == "llamar")
            LlamarYSalir();
        if (prueba::RolHijo() == "admin")
            std::exit(EsUsuarioAdministrador() ? 10 : 20);
        if (::geteuid() != 0)
            GTEST_SKIP() << "hacen falta privilegios de root para crear las cuentas de prueba";
        ASSERT_NE(Uid(kA), static_cast<uid_t>(-1));
        ASSERT_NE(Uid(kB), static_cast<uid_t>(-1));
        // A folder both accounts may use, without the sticky bit so that A
        // may replace the package.
        arbol_.emplace();
        carpeta_ = arbol_->Raiz() / "compartida";
        fs::create_directories(carpeta_);
        ::chmod(arbol_->Raiz().c_str(), 0755);
        ::chmod(carpeta_.c_str(), 0777);
        registro_ = carpeta_ / "registro.txt";
        programa_ = carpeta_ / "instalador con blancos.sh";
        EscribirGuion(programa_, "");
    }
    // A script that records its arguments, folder and user.
    void EscribirGuion(const fs::path& ruta, const std::string& antes) {
        prueba::EscribirArchivo(ruta, "#!/bin/sh\n" + antes +
                                          "{ for a in \"$@\"; do echo \"$a\"; done; "
                                          "echo \"cwd=$(pwd)\"; echo \"uid=$(id -u)\"; } > '" +
                                          registro_.string() + "'\n");
        ::chmod(ruta.c_str(), 0755);
    }
    // EjecutarComoUsuario called by account A for B; answers its code.
    int32_t LlamarComoA(const std::string& linea, const std::string& usuario = kB,
                        const std::string& dir = "", bool esperar = true, const std::string& cambiar = "",
                        const std::string& estado = "") {
        fs::path resultado = carpeta_ / "codigo.txt";
        fs::remove(resultado);
        EXPECT_EQ(ComoUsuario("llamar", {"--reuid=" + kA, "--regid=" + kA, "--init-groups"},
                              {usuario, kClaveB, linea, dir.empty() ? carpeta_.string() : dir,
                               esperar ? "1" : "0", cambiar, resultado.string(), estado}),
                  0);
        std::string t = prueba::LeerArchivo(resultado);
        return t.empty() ? -999 : std::atoi(t.c_str());
    }
    std::string Linea(const fs::path& p, const std::string& argumentos = "") {
        return Trim("\"" + p.string() + "\" " + argumentos);
    }

    std::optional<prueba::ArbolPrueba> arbol_;
    fs::path carpeta_, registro_, programa_;
};

} // namespace

// Waited for or not, in its folder and with its arguments; and the sealed
// program runs even if its owner swaps it.
TEST_F(CuentaAjenaTest, ArrancaComoLaOtraCuentaConSuCarpetaYArgumentos) {
    std::string linea = Linea(programa_, "/SILENT \"dos tres\"");
    ASSERT_EQ(LlamarComoA(linea), 0);
    EXPECT_EQ(prueba::LeerArchivo(registro_),
              "/SILENT\ndos tres\ncwd=" + carpeta_.string() + "\nuid=" + std::to_string(Uid(kB)) + "\n");

    // Not waited for: the answer comes while the program still sleeps.
    fs::remove(registro_);
    EscribirGuion(programa_, "sleep 2\n");
    ASSERT_EQ(LlamarComoA(linea, kB, "", false), 0);
    EXPECT_FALSE(fs::exists(registro_));
    for (int i = 0; i < 100 && prueba::LeerArchivo(registro_).find("uid=") == std::string::npos; ++i)
        ::usleep(100000);
    EXPECT_NE(prueba::LeerArchivo(registro_).find("uid=" + std::to_string(Uid(kB))), std::string::npos);

    fs::path marca = carpeta_ / "cambiado.txt", otro = carpeta_ / "otro.sh";
    EscribirGuion(programa_, "");
    prueba::EscribirArchivo(otro, "#!/bin/sh\necho cambiado > '" + marca.string() + "'\n");
    ::chmod(otro.c_str(), 0777);
    ::chown(otro.c_str(), Uid(kA), Uid(kA));
    ::chown(programa_.c_str(), Uid(kA), Uid(kA));
    ASSERT_EQ(LlamarComoA(Linea(programa_, "uno"), kB, "", true, otro.string()), 0);
    EXPECT_TRUE(fs::exists(programa_)); // the path was replaced...
    EXPECT_FALSE(fs::exists(marca));    // ...but the swapped bytes never ran
    EXPECT_EQ(prueba::LeerArchivo(registro_).rfind("uno\n", 0), 0u);
}

// Failures answer Windows' codes and run nothing. An expired password: su
// asks for a new one, from root or another user; nobody answers, su is ended.
TEST_F(CuentaAjenaTest, FallosConLosCodigosDeWindows) {
    std::string linea = Linea(programa_);
    EXPECT_EQ(LlamarComoA(linea, "olvprueba_no_existe"), 1326);
    EXPECT_EQ(LlamarComoA(linea, kB, (carpeta_ / "no-existe").string()), 267);
    EXPECT_EQ(LlamarComoA(Linea(carpeta_ / "no-existe.sh")), 2);
    // A FIFO named like the program blocks nothing.
    ASSERT_EQ(::mkfifo((carpeta_ / "fifo.sh").c_str(), 0666), 0);
    EXPECT_EQ(LlamarComoA(Linea(carpeta_ / "fifo.sh")), 5);
    ::chmod(programa_.c_str(), 0700); // root's own: B may not read it
    EXPECT_EQ(LlamarComoA(linea), 5);
    ::chmod(programa_.c_str(), 0755);

    Sistema("chage -d 0 " + kB);
    EXPECT_EQ(LlamarComoA(linea), 1330);
    EXPECT_EQ(EjecutarComoUsuario(kB, kClaveB, "", linea, carpeta_.string(), true), 1330);
    EXPECT_EQ(Sistema("pgrep -f '[s]u -l " + kB + "'"), 256); // pgrep: none left
    Sistema("echo '" + kB + ":" + kClaveB + "' | chpasswd");
    EXPECT_FALSE(fs::exists(registro_));
}

TEST_F(CuentaAjenaTest, AdministradorPorUidOGrupo) {
    EXPECT_TRUE(EsUsuarioAdministrador()); // effective uid 0
    const std::string a = "--reuid=" + kA, ga = "--regid=" + kA;
    EXPECT_EQ(ComoUsuario("admin", {a, ga, "--init-groups"}), 20);
    EXPECT_EQ(ComoUsuario("admin", {a, ga, "--groups=sudo"}), 10);
    EXPECT_EQ(ComoUsuario("admin", {a, "--regid=0", "--clear-groups"}), 10);
}

// A known state, not the caller's, in its own folder (the shell reads its own
// mask: it blocks all while it waits; find lists the descriptors: a
// redirection adds one). What only root could undo refuses the start.
TEST_F(CuentaAjenaTest, ElProgramaNoHeredaElEstadoDeQuienLlama) {
    const fs::path dentro = carpeta_ / "paquete", guion = dentro / "estado.sh", fds = carpeta_ / "fds.txt";
    fs::create_directories(dentro);
    prueba::EscribirArchivo(guion, "#!/bin/sh\nfind /proc/$$/fd -mindepth 1 -fprintf '" + fds.string() +
                                       "' '%f %l\\n'\n{ while read -r n v; do case $n in Sig[BI]*) echo $n $v;; "
                                       "esac; done < /proc/$$/status; umask; sed 's/.*) //' /proc/$$/stat | "
                                       "cut -d' ' -f17; ulimit -f; pwd; } > '" + registro_.string() + "'\n");
    ::chmod(guion.c_str(), 0755);
    ASSERT_EQ(LlamarComoA(Linea(guion), kB, "-", true, "", "suave"), 0);
    EXPECT_EQ(prueba::LeerArchivo(registro_), "SigBlk: 0000000000000000\nSigIgn: 0000000000000000\n0022\n0\n"
                                              "unlimited\n" + dentro.string() + "\n");
    std::istringstream lineas(prueba::LeerArchivo(fds));
    std::set<std::string> abiertos;
    for (std::string l; std::getline(lineas, l);)
        if (!l.ends_with(" " + guion.string()))
            abiertos.insert(l);
    EXPECT_EQ(abiertos, (std::set<std::string>{"0 /dev/null", "1 /dev/null", "2 /dev/null"}));

    fs::remove(registro_);
    for (const char* estado : {"duro", "nice"})
        EXPECT_EQ(LlamarComoA(Linea(guion), kB, "-", true, "", estado), 1314) << estado;
    EXPECT_FALSE(fs::exists(registro_));
}
