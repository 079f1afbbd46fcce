// The Linux shell-launch stand-in: how a file is started, the Windows
// command-line rules and our own error texts.
#include "support/ArbolPrueba.h"
#include "platform/ErroresSistema.h"
#include "platform/posix/Lanzar.h"
#include "process/ShellEjecutar.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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

TEST(ShellPosixTest, GuionSinPermisoDeEjecucionArranca) {
    prueba::ArbolPrueba arbol;
    fs::path guion = arbol.Temporal() / "instalar";
    fs::path registro = arbol.Temporal() / "registro.txt";
    prueba::EscribirArchivo(guion, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + registro.string() + "'\n");
    ::chmod(guion.c_str(), 0644);
    ASSERT_TRUE(ShellEjecutarArchivo(guion.string(), "\"dos tres\" /SP-", 0, true, false));
    EXPECT_EQ(prueba::LeerArchivo(registro), "dos tres\n/SP-\n");
    struct stat st {};
    ASSERT_EQ(::stat(guion.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0744u); // the owner's execute bit only

    EXPECT_FALSE(ShellEjecutarArchivo((arbol.Temporal() / "no-existe").string(), "", 0, true, false));
    // A document without xdg-open, an elevation without pkexec: refused.
    fs::path doc = arbol.Temporal() / "leeme.txt";
    prueba::EscribirArchivo(doc, "texto");
    if (platform::ProgramaInstalado("xdg-open").empty()) {
        EXPECT_FALSE(ShellEjecutarArchivo(doc.string(), "", 0, true, false));
    }
    if (platform::ProgramaInstalado("pkexec").empty()) {
        EXPECT_FALSE(ShellEjecutarArchivo(guion.string(), "", 0, true, true));
    }
}

TEST(ShellPosixTest, TextosDeErrorPropios) {
    EXPECT_EQ(platform::TextoErrorSistema(1326), "El nombre de usuario o la contraseña no son correctos.\r\n");
    EXPECT_EQ(platform::TextoErrorSistema(267), "El nombre del directorio no es válido.\r\n");
    EXPECT_EQ(platform::TextoErrorSistema(1327), "");
}
