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

#include <cstdlib>
#include <fstream>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

const char* const kUsuarioA = "olvprueba_a";
const char* const kUsuarioB = "olvprueba_b";
const char* const kClaveB = "Clave-B.2026";

int Sistema(const std::string& orden) { return std::system((orden + " >/dev/null 2>&1").c_str()); }

uid_t Uid(const char* usuario) {
    const passwd* p = ::getpwnam(usuario);
    return p ? p->pw_uid : static_cast<uid_t>(-1);
}

// "Suite.Nombre" of the running test: its child runs only that test.
std::string PruebaActual() {
    const auto* t = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(t->test_suite_name()) + "." + t->name();
}

// Runs this test binary's role `rol` as `usuario` (setpriv, no password) and
// answers its exit code.
int ComoUsuario(const std::string& prueba, const std::string& rol, const std::vector<std::string>& opciones,
                const std::vector<std::pair<std::string, std::string>>& entorno) {
    std::vector<std::string> argv = {"/usr/bin/setpriv"};
    argv.insert(argv.end(), opciones.begin(), opciones.end());
    auto hijo = prueba::ArgumentosHijo(prueba);
    argv.insert(argv.end(), hijo.begin(), hijo.end());
    auto env = entorno;
    env.emplace_back("OLVADO_TEST_ROL", rol);
    platform::ProcesoHijo p;
    if (!p.Iniciar(argv, env))
        return -1;
    return p.Esperar();
}

class CuentaAjenaTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (::geteuid() != 0 || !prueba::RolHijo().empty())
            return;
        for (const char* u : {kUsuarioA, kUsuarioB}) {
            Sistema(std::string("userdel -r ") + u);
            Sistema(std::string("useradd -m -s /bin/sh ") + u);
        }
        Sistema(std::string("echo '") + kUsuarioA + ":Clave-A.2026' | chpasswd");
        Sistema(std::string("echo '") + kUsuarioB + ":" + kClaveB + "' | chpasswd");
    }
    static void TearDownTestSuite() {
        if (::geteuid() != 0 || !prueba::RolHijo().empty())
            return;
        for (const char* u : {kUsuarioA, kUsuarioB})
            Sistema(std::string("userdel -r ") + u);
    }
    void SetUp() override {
        if (!prueba::RolHijo().empty())
            return; // a child runs its role in the test body
        if (::geteuid() != 0)
            GTEST_SKIP() << "hacen falta privilegios de root para crear las cuentas de prueba";
        ASSERT_NE(Uid(kUsuarioA), static_cast<uid_t>(-1));
        ASSERT_NE(Uid(kUsuarioB), static_cast<uid_t>(-1));
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
        prueba::EscribirArchivo(ruta, "#!/bin/sh\n" + antes + "{ for a in \"$@\"; do echo \"$a\"; done; "
                                      "echo \"cwd=$(pwd)\"; echo \"uid=$(id -u)\"; } > '" +
                                          registro_.string() + "'\n");
        ::chmod(ruta.c_str(), 0755);
    }
    // EjecutarComoUsuario called by account A; answers its code.
    int32_t LlamarComoA(const std::string& usuario, const std::string& clave, const std::string& linea,
                        const std::string& dir, bool esperar = true, const std::string& cambiar = "") {
        fs::path resultado = carpeta_ / "codigo.txt";
        fs::remove(resultado);
        int r = ComoUsuario(PruebaActual(), "llamar",
                            {std::string("--reuid=") + kUsuarioA, std::string("--regid=") + kUsuarioA,
                             "--init-groups"},
                            {{"OLVADO_TEST_USUARIO", usuario},
                             {"OLVADO_TEST_CLAVE", clave},
                             {"OLVADO_TEST_LINEA", linea},
                             {"OLVADO_TEST_CARPETA", dir},
                             {"OLVADO_TEST_ESPERAR", esperar ? "1" : "0"},
                             {"OLVADO_TEST_CAMBIAR", cambiar},
                             {"OLVADO_TEST_RESULTADO", resultado.string()}});
        EXPECT_EQ(r, 0);
        std::string t = prueba::LeerArchivo(resultado);
        return t.empty() ? -999 : std::atoi(t.c_str());
    }

    std::optional<prueba::ArbolPrueba> arbol_;
    fs::path carpeta_, registro_, programa_;
};

// The role of account A: seals the program when asked to swap it, swaps it,
// then calls EjecutarComoUsuario and writes the code.
void LlamarYSalir() {
    auto v = [](const char* n) { return platform::LeerVariableEntorno(n); };
    std::string linea = v("OLVADO_TEST_LINEA");
    platform::ArchivoSellado sellado;
    if (!v("OLVADO_TEST_CAMBIAR").empty()) {
        std::string ruta = linea.substr(1, linea.find('"', 1) - 1);
        if (!sellado.Abrir(ruta))
            std::exit(3);
        // The account's own file: rewritten in place, then replaced.
        std::fstream(ruta, std::ios::in | std::ios::out | std::ios::binary)
            << prueba::LeerArchivo(v("OLVADO_TEST_CAMBIAR"));
        fs::rename(v("OLVADO_TEST_CAMBIAR"), ruta);
    }
    int32_t codigo = EjecutarComoUsuario(v("OLVADO_TEST_USUARIO"), v("OLVADO_TEST_CLAVE"), "", linea,
                                         v("OLVADO_TEST_CARPETA"), v("OLVADO_TEST_ESPERAR") == "1",
                                         sellado.Abierto() ? &sellado : nullptr);
    prueba::EscribirArchivo(v("OLVADO_TEST_RESULTADO"), std::to_string(codigo));
    std::exit(0);
}

} // namespace

TEST_F(CuentaAjenaTest, ArrancaComoLaOtraCuentaConSuCarpetaYArgumentos) {
    if (prueba::RolHijo() == "llamar")
        LlamarYSalir();
    std::string linea = "\"" + programa_.string() + "\" /SILENT \"dos tres\"";
    ASSERT_EQ(LlamarComoA(kUsuarioB, kClaveB, linea, carpeta_.string()), 0);
    // Waited for: the record is complete on return.
    EXPECT_EQ(prueba::LeerArchivo(registro_), "/SILENT\ndos tres\ncwd=" + carpeta_.string() +
                                                  "\nuid=" + std::to_string(Uid(kUsuarioB)) + "\n");

    // Not waited for: the answer comes while the program still sleeps.
    fs::remove(registro_);
    EscribirGuion(programa_, "sleep 2\n");
    ASSERT_EQ(LlamarComoA(kUsuarioB, kClaveB, linea, carpeta_.string(), false), 0);
    EXPECT_FALSE(fs::exists(registro_));
    for (int i = 0; i < 100 && prueba::LeerArchivo(registro_).find("uid=") == std::string::npos; ++i)
        ::usleep(100000);
    EXPECT_NE(prueba::LeerArchivo(registro_).find("uid=" + std::to_string(Uid(kUsuarioB))), std::string::npos);
}

TEST_F(CuentaAjenaTest, FallosConLosCodigosDeWindows) {
    if (prueba::RolHijo() == "llamar")
        LlamarYSalir();
    std::string linea = "\"" + programa_.string() + "\"";
    EXPECT_EQ(LlamarComoA(kUsuarioB, "equivocada", linea, carpeta_.string()), 1326);
    EXPECT_EQ(LlamarComoA("olvprueba_no_existe", kClaveB, linea, carpeta_.string()), 1326);
    EXPECT_EQ(LlamarComoA(kUsuarioB, kClaveB, linea, (carpeta_ / "no-existe").string()), 267);
    EXPECT_EQ(LlamarComoA(kUsuarioB, kClaveB, "\"" + (carpeta_ / "no-existe.sh").string() + "\"",
                          carpeta_.string()),
              2);
    // A FIFO named like the program blocks nothing.
    fs::path fifo = carpeta_ / "fifo.sh";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    EXPECT_EQ(LlamarComoA(kUsuarioB, kClaveB, "\"" + fifo.string() + "\"", carpeta_.string()), 5);
    ::chmod(programa_.c_str(), 0700); // root's own: B may not read it
    EXPECT_EQ(LlamarComoA(kUsuarioB, kClaveB, linea, carpeta_.string()), 5);
    EXPECT_FALSE(fs::exists(registro_));
}

// su asks for a new password after the old one, from root or another user:
// nobody answers, su is ended, nothing runs.
TEST_F(CuentaAjenaTest, ContrasenaCaducadaTerminaSinDejarASu) {
    if (prueba::RolHijo() == "llamar")
        LlamarYSalir();
    std::string linea = "\"" + programa_.string() + "\"";
    Sistema(std::string("chage -d 0 ") + kUsuarioB);
    EXPECT_EQ(LlamarComoA(kUsuarioB, kClaveB, linea, carpeta_.string()), 1330);
    EXPECT_EQ(EjecutarComoUsuario(kUsuarioB, kClaveB, "", linea, carpeta_.string(), true), 1330);
    EXPECT_EQ(Sistema(std::string("pgrep -f '[s]u -l ") + kUsuarioB + "'"), 256); // pgrep: none left
    Sistema(std::string("echo '") + kUsuarioB + ":" + kClaveB + "' | chpasswd");
    EXPECT_FALSE(fs::exists(registro_));
}

TEST_F(CuentaAjenaTest, ElPaqueteSelladoCorreAunqueLoCambien) {
    if (prueba::RolHijo() == "llamar")
        LlamarYSalir();
    fs::path marca = carpeta_ / "cambiado.txt";
    fs::path otro = carpeta_ / "otro.sh";
    prueba::EscribirArchivo(otro, "#!/bin/sh\necho cambiado > '" + marca.string() + "'\n");
    ::chmod(otro.c_str(), 0777);
    ::chown(otro.c_str(), Uid(kUsuarioA), Uid(kUsuarioA));
    ::chown(programa_.c_str(), Uid(kUsuarioA), Uid(kUsuarioA));
    std::string linea = "\"" + programa_.string() + "\" uno";
    ASSERT_EQ(LlamarComoA(kUsuarioB, kClaveB, linea, carpeta_.string(), true, otro.string()), 0);
    EXPECT_TRUE(fs::exists(programa_)); // the path was replaced...
    EXPECT_FALSE(fs::exists(marca));    // ...but the swapped bytes never ran
    EXPECT_NE(prueba::LeerArchivo(registro_).find("uno\n"), std::string::npos);
}

TEST_F(CuentaAjenaTest, AdministradorPorUidOGrupo) {
    if (prueba::RolHijo() == "admin")
        std::exit(EsUsuarioAdministrador() ? 10 : 20);
    EXPECT_TRUE(EsUsuarioAdministrador()); // effective uid 0
    const std::string prueba = PruebaActual();
    std::string a = std::string("--reuid=") + kUsuarioA, ga = std::string("--regid=") + kUsuarioA;
    EXPECT_EQ(ComoUsuario(prueba, "admin", {a, ga, "--init-groups"}, {}), 20);
    EXPECT_EQ(ComoUsuario(prueba, "admin", {a, ga, "--groups=sudo"}, {}), 10);
    EXPECT_EQ(ComoUsuario(prueba, "admin", {a, "--regid=0", "--clear-groups"}, {}), 10);
}
