// The shell road hands the parameter text to the started program as written.
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "process/ShellEjecutar.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <windows.h>

using namespace olvado;

TEST(LanzadorShellWinTest, LosParametrosLleganComoSeEscribieron) {
    if (prueba::RolHijo() == "linea") {
        prueba::EscribirArchivo(platform::LeerVariableEntorno("OLVADO_TEST_REGISTRO"), GetCommandLineA());
        std::exit(0);
    }
    prueba::ArbolPrueba arbol;
    const auto registro = arbol.Temporal() / "linea.txt";
    platform::EstablecerVariableEntorno("OLVADO_TEST_ROL", "linea");
    platform::EstablecerVariableEntorno("OLVADO_TEST_REGISTRO", registro.string());
    // Quotes inside an argument stay where they are; blanks inside quotes too.
    const std::string parametros = "--gtest_filter=LanzadorShellWinTest.* /DIR=\"C:\\Program Files\\X\" "
                                   "\"dos  tres\" /LOG=\"a b.txt\"";
    bool ok = ShellEjecutarArchivo(platform::RutaEjecutableActual(), parametros, 0, true, false);
    platform::EstablecerVariableEntorno("OLVADO_TEST_ROL", "");
    platform::EstablecerVariableEntorno("OLVADO_TEST_REGISTRO", "");
    ASSERT_TRUE(ok);
    const std::string linea = prueba::LeerArchivo(registro);
    ASSERT_GT(linea.size(), parametros.size()) << linea;
    EXPECT_EQ(linea.substr(linea.size() - parametros.size() - 1), " " + parametros) << linea;
}
