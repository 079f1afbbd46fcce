// The Linux launch stand-ins through the platform's entry point: how a file or
// a mail link is started, the system's helpers and the environment of another
// account.
#include "platform/ArchivoSellado.h"
#include "platform/Entorno.h"
#include "platform/posix/Lanzar.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

int32_t Lanzar(platform::RutaLanzamiento ruta, const fs::path& archivo, std::vector<std::string> argumentos = {},
               const platform::ArchivoSellado* sellado = nullptr, const std::string& usuario = "") {
    platform::PeticionLanzamiento p;
    p.ruta = ruta;
    p.archivo = archivo.string();
    p.argumentos = std::move(argumentos);
    p.usuario = usuario;
    p.esperar = true;
    p.paquete = sellado;
    return platform::ILanzador::Actual().Lanzar(p);
}
constexpr auto kShell = platform::RutaLanzamiento::Shell, kElevado = platform::RutaLanzamiento::ShellElevado;

// The system's helpers, taken from a folder of stand-ins.
struct ProgramasFalsos : platform::IProgramasSistema {
    Reemplazo enUso_{*this};
    fs::path carpeta;
    std::string Ruta(const std::string& n) override { return fs::exists(carpeta / n) ? (carpeta / n).string() : ""; }
};

} // namespace

TEST(ShellPosixTest, GuionPEDocumentoYElevado) {
    prueba::ArbolPrueba arbol;
    ProgramasFalsos programas;
    programas.carpeta = arbol.Raiz() / "bin";
    fs::create_directories(programas.carpeta);
    fs::path guion = arbol.Temporal() / "instalar", registro = arbol.Temporal() / "registro.txt";
    prueba::EscribirArchivo(guion, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" +
                                       registro.string() + "'\n");
    ::chmod(guion.c_str(), 0644);
    ASSERT_EQ(Lanzar(kShell, guion, {"dos tres", "/SP-"}), 0);
    EXPECT_EQ(prueba::LeerArchivo(registro), "dos tres\n/SP-\n");
    struct stat st {};
    ASSERT_EQ(::stat(guion.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0744u); // the owner's execute bit only

    EXPECT_EQ(Lanzar(kShell, arbol.Temporal() / "no-existe"), 2);
    // A PE file without wine, a document without xdg-open, an elevation without pkexec: refused.
    fs::path doc = arbol.Temporal() / "leeme.txt", pe = arbol.Temporal() / "Olvado_Act.exe";
    prueba::EscribirArchivo(doc, "documento\n");
    prueba::EscribirArchivo(pe, "MZ verificado\n");
    EXPECT_EQ(Lanzar(kShell, pe), 2);
    EXPECT_EQ(Lanzar(kShell, doc), 2);
    EXPECT_EQ(Lanzar(kElevado, guion), 2);

    // Stand-ins for wine, xdg-open and pkexec that record how they were called
    // and, for the first argument that is a file, its first line; the pkexec
    // one also its environment, then runs what it was given, as the real one
    // does once allowed.
    fs::remove(registro);
    const fs::path entorno = arbol.Raiz() / "entorno.txt";
    for (const char* nombre : {"wine", "xdg-open", "pkexec"}) {
        const bool pkexec = nombre == std::string("pkexec");
        prueba::EscribirArchivo(programas.carpeta / nombre,
                                "#!/bin/sh\n{ echo \"$(basename \"$0\")\"; for a in \"$@\"; do echo \"$a\"; "
                                "done; head -n1 \"$1\" 2>/dev/null; } >> '" +
                                    registro.string() + "'\n" +
                                    (pkexec ? "{ env; umask; pwd; } > '" + entorno.string() + "'; exec \"$@\"\n"
                                            : ""));
        ::chmod((programas.carpeta / nombre).c_str(), 0755);
    }
    EXPECT_EQ(Lanzar(kShell, pe, {"/SILENT", "a b"}), 0);
    EXPECT_EQ(Lanzar(kShell, doc, {"ignorado"}), 0);
    EXPECT_EQ(prueba::LeerArchivo(registro), "wine\n" + pe.string() + "\n/SILENT\na b\nMZ verificado\n" +
                                                 "xdg-open\n" + doc.string() + "\ndocumento\n");
    fs::remove(registro);

    // Sealed and then replaced: wine reads the verified bytes through the
    // descriptor. pkexec gets no variable of ours that would steer root's
    // programs, root's own HOME and TERM, umask 022 (CuentaAjenaTest: the
    // rest of that state), and starts in the program's folder.
    platform::ArchivoSellado sellado;
    ASSERT_TRUE(sellado.Abrir(pe.string()));
    prueba::EscribirArchivo(arbol.Temporal() / "otro.exe", "MZ cambiado\n");
    fs::rename(arbol.Temporal() / "otro.exe", pe);
    const std::string path = platform::LeerVariableEntorno("PATH");
    for (const char* n : {"LD_LIBRARY_PATH", "ODBCSYSINI", "PATH"})
        platform::EstablecerVariableEntorno(n, arbol.Temporal().string());
    const mode_t mascara = ::umask(0);
    EXPECT_EQ(Lanzar(kElevado, pe, {}, &sellado), 0);
    ::umask(mascara);
    for (const auto& [n, v] :
         {std::pair<const char*, std::string>{"LD_LIBRARY_PATH", ""}, {"ODBCSYSINI", ""}, {"PATH", path}})
        platform::EstablecerVariableEntorno(n, v);
    std::string r = prueba::LeerArchivo(registro);
    EXPECT_EQ(r.rfind("pkexec\n" + (programas.carpeta / "wine").string() + "\n", 0), 0u) << r;
    EXPECT_NE(r.find("wine\n/proc/self/fd/" + std::to_string(sellado.Nativo()) + "\n"), std::string::npos) << r;
    EXPECT_NE(r.find("MZ verificado"), std::string::npos) << r;
    EXPECT_EQ(r.find("MZ cambiado"), std::string::npos) << r;
    const std::string e = "\n" + prueba::LeerArchivo(entorno);
    EXPECT_NE(e.find(std::string("\nPATH=") + platform::kPathSistema + "\n"), std::string::npos) << e;
    EXPECT_NE(e.find(std::string("\nHOME=") + ::getpwnam("root")->pw_dir + "\n"), std::string::npos) << e;
    EXPECT_EQ(e.find("\nLD_"), std::string::npos) << e;
    EXPECT_EQ(e.find("\nODBC"), std::string::npos) << e;
    EXPECT_NE(e.find("\nTERM=dumb\n"), std::string::npos) << e;
    EXPECT_NE(e.find("\n0022\n" + pe.parent_path().string() + "\n"), std::string::npos) << e;

    // A mail link goes to the mail handler, its scheme in lower case, and its
    // answer counts: with no mail program xdg-email fails, as Windows' shell
    // does (then the caller shows its "no mail program" box).
    fs::path correo = arbol.Temporal() / "correo";
    platform::PeticionLanzamiento enlace;
    enlace.archivo = "MailTo:ana@ejemplo.com";
    prueba::EscribirArchivo(programas.carpeta / "xdg-email", "#!/bin/sh\necho \"$1\" > '" + correo.string() + "'\n");
    ::chmod((programas.carpeta / "xdg-email").c_str(), 0755);
    EXPECT_EQ(platform::ILanzador::Actual().Lanzar(enlace), 0);
    EXPECT_EQ(prueba::LeerArchivo(correo), "mailto:ana@ejemplo.com\n");
    prueba::EscribirArchivo(programas.carpeta / "xdg-email",
                            "#!/bin/sh\necho 'xdg-email: no method available for opening' >&2\nexit 3\n");
    EXPECT_EQ(platform::ILanzador::Actual().Lanzar(enlace), 1155);
}

// Helpers come from the system's folders only: a su, wine or pkexec planted
// in $PATH or in the current folder (an empty entry of $PATH) never runs.
TEST(ShellPosixTest, AyudantesPlantadosNoSeEjecutan) {
    prueba::ArbolPrueba arbol;
    const fs::path aqui = arbol.Temporal(), marcas = arbol.Raiz() / "marcas.txt", pe = aqui / "Olvado_Act.exe";
    for (const char* nombre : {"su", "wine", "pkexec"}) {
        prueba::EscribirArchivo(aqui / nombre, "#!/bin/sh\necho \"$0\" >> '" + marcas.string() + "'\n");
        ::chmod((aqui / nombre).c_str(), 0755);
    }
    prueba::EscribirArchivo(pe, "MZ\n");
    const std::string path = platform::LeerVariableEntorno("PATH");
    const fs::path antes = fs::current_path();
    platform::EstablecerVariableEntorno("PATH", ":" + aqui.string() + ":" + path);
    fs::current_path(aqui);
    Lanzar(kShell, pe);
    Lanzar(kElevado, pe);
    EXPECT_EQ(Lanzar(platform::RutaLanzamiento::Cuenta, "/bin/true", {}, nullptr, "olvprueba_no_existe"), 1326);
    fs::current_path(antes);
    platform::EstablecerVariableEntorno("PATH", path);
    EXPECT_EQ(prueba::LeerArchivo(marcas), "");
}
