// The Linux shell-launch stand-in: how a file or a mail link is started and
// the Windows command-line rules.
#include "platform/Shell.h"
#include "platform/ArchivoSellado.h"
#include "platform/Entorno.h"
#include "platform/posix/Lanzar.h"
#include "process/ShellEjecutar.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>

using namespace olvado;
namespace fs = std::filesystem;

TEST(ShellPosixTest, PartirLineaComandosComoWindows) {
    using V = std::vector<std::string>;
    EXPECT_EQ(platform::PartirLineaComandos(""), V{});
    EXPECT_EQ(platform::PartirLineaComandos("  /SILENT\t/SP-  "), (V{"/SILENT", "/SP-"}));
    EXPECT_EQ(platform::PartirLineaComandos("\"C:\\Archivos de programa\\a.exe\" x"),
              (V{"C:\\Archivos de programa\\a.exe", "x"}));
    EXPECT_EQ(platform::PartirLineaComandos(R"(a\\b "c\"d" e\\\"f "" g""h)"),
              (V{"a\\\\b", "c\"d", "e\\\"f", "", "gh"}));
}

TEST(ShellPosixTest, GuionPEDocumentoYElevado) {
    prueba::ArbolPrueba arbol;
    fs::path guion = arbol.Temporal() / "instalar", registro = arbol.Temporal() / "registro.txt";
    prueba::EscribirArchivo(guion, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" +
                                       registro.string() + "'\n");
    ::chmod(guion.c_str(), 0644);
    ASSERT_TRUE(ShellEjecutarArchivo(guion.string(), "\"dos tres\" /SP-", 0, true, false));
    EXPECT_EQ(prueba::LeerArchivo(registro), "dos tres\n/SP-\n");
    struct stat st {};
    ASSERT_EQ(::stat(guion.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0744u); // the owner's execute bit only

    EXPECT_FALSE(ShellEjecutarArchivo((arbol.Temporal() / "no-existe").string(), "", 0, true, false));
    // A document without xdg-open, an elevation without pkexec: refused.
    fs::path doc = arbol.Temporal() / "leeme.txt", pe = arbol.Temporal() / "Olvado_Act.exe";
    prueba::EscribirArchivo(doc, "documento\n");
    if (platform::ProgramaInstalado("xdg-open").empty()) {
        EXPECT_FALSE(ShellEjecutarArchivo(doc.string(), "", 0, true, false));
    }
    if (platform::ProgramaInstalado("pkexec").empty()) {
        EXPECT_FALSE(ShellEjecutarArchivo(guion.string(), "", 0, true, true));
    }

    // Stand-ins for wine, xdg-open and pkexec that record how they were called
    // and, for the first argument that is a file, its first line; the pkexec
    // one then runs what it was given, as the real one does once allowed.
    fs::path bin = arbol.Raiz() / "bin";
    fs::create_directories(bin);
    fs::remove(registro);
    for (const char* nombre : {"wine", "xdg-open", "pkexec"}) {
        prueba::EscribirArchivo(bin / nombre,
                                "#!/bin/sh\n{ echo \"$(basename \"$0\")\"; for a in \"$@\"; do echo \"$a\"; "
                                "done; head -n1 \"$1\" 2>/dev/null; } >> '" +
                                    registro.string() + "'\n" +
                                    (nombre == std::string("pkexec") ? "exec \"$@\"\n" : ""));
        ::chmod((bin / nombre).c_str(), 0755);
    }
    std::string path = platform::LeerVariableEntorno("PATH");
    platform::EstablecerVariableEntorno("PATH", bin.string() + ":" + path);

    prueba::EscribirArchivo(pe, "MZ verificado\n");
    EXPECT_TRUE(ShellEjecutarArchivo(pe.string(), "/SILENT \"a b\"", 0, true, false));
    EXPECT_TRUE(ShellEjecutarArchivo(doc.string(), "ignorado", 0, true, false));
    EXPECT_EQ(prueba::LeerArchivo(registro), "wine\n" + pe.string() + "\n/SILENT\na b\nMZ verificado\n" +
                                                 "xdg-open\n" + doc.string() + "\ndocumento\n");
    fs::remove(registro);

    // Sealed and then replaced: wine reads the verified bytes through the descriptor.
    platform::ArchivoSellado sellado;
    ASSERT_TRUE(sellado.Abrir(pe.string()));
    prueba::EscribirArchivo(arbol.Temporal() / "otro.exe", "MZ cambiado\n");
    fs::rename(arbol.Temporal() / "otro.exe", pe);
    EXPECT_TRUE(ShellEjecutarArchivo(pe.string(), "", 0, true, true, &sellado));
    std::string r = prueba::LeerArchivo(registro);
    EXPECT_EQ(r.rfind("pkexec\n" + (bin / "wine").string() + "\n", 0), 0u) << r;
    EXPECT_NE(r.find("wine\n/proc/self/fd/" + std::to_string(sellado.Nativo()) + "\n"), std::string::npos)
        << r;
    EXPECT_NE(r.find("MZ verificado"), std::string::npos) << r;
    EXPECT_EQ(r.find("MZ cambiado"), std::string::npos) << r;
    platform::EstablecerVariableEntorno("PATH", path);

    fs::path correo = arbol.Temporal() / "correo";
    prueba::EscribirArchivo(bin / "correo", "#!/bin/sh\necho \"$1\" > '" + correo.string() + "'\n");
    ::chmod((bin / "correo").c_str(), 0755);
    platform::EstablecerVariableEntorno("MAILER", (bin / "correo").string());
    EXPECT_TRUE(
        platform::EjecutarConShell({"open", "MailTo:ana@ejemplo.com", "", 42, platform::SW_SHOWNORMAL_}));
    for (int i = 0; i < 100 && prueba::LeerArchivo(correo).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    platform::EstablecerVariableEntorno("MAILER", "");
    EXPECT_EQ(prueba::LeerArchivo(correo), "mailto:ana@ejemplo.com\n");
}
