// The child-process and environment contracts, on both systems, with this
// test binary as the child.
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace olvado;

TEST(ProcessTest, HijoVeSuEntornoYDevuelveSuCodigo) {
    if (prueba::RolHijo() == "salir") {
        // The child: answer with a code built from what it was given.
        int codigo = platform::LeerVariableEntorno("OLVADO_TEST_VALOR") == "ñandú" ? 42 : 1;
        if (platform::ExisteVariableEntorno("OLVADO_TEST_QUITAR"))
            codigo = 2;
        std::exit(codigo);
    }
    platform::EstablecerVariableEntorno("OLVADO_TEST_QUITAR", "x");
    platform::ProcesoHijo hijo;
    ASSERT_TRUE(hijo.Iniciar(prueba::ArgumentosHijo("ProcessTest.HijoVeSuEntornoYDevuelveSuCodigo"),
                             {{"OLVADO_TEST_ROL", "salir"}, {"OLVADO_TEST_VALOR", "ñandú"},
                              {"OLVADO_TEST_QUITAR", ""}}));
    EXPECT_GT(hijo.Id(), 0);
    EXPECT_EQ(hijo.Esperar(), 42);
    EXPECT_EQ(hijo.Esperar(), 42); // a second wait answers the same code
    EXPECT_FALSE(hijo.EnEjecucion());
    platform::EstablecerVariableEntorno("OLVADO_TEST_QUITAR", "");
    EXPECT_FALSE(platform::ExisteVariableEntorno("OLVADO_TEST_QUITAR"));
}

TEST(ProcessTest, TerminarAcabaUnHijoQueEspera) {
    if (prueba::RolHijo() == "dormir") {
        for (;;) {
        }
    }
    platform::ProcesoHijo hijo;
    ASSERT_TRUE(hijo.Iniciar(prueba::ArgumentosHijo("ProcessTest.TerminarAcabaUnHijoQueEspera"),
                             {{"OLVADO_TEST_ROL", "dormir"}}));
    EXPECT_TRUE(hijo.EnEjecucion());
    EXPECT_TRUE(hijo.Terminar());
    EXPECT_FALSE(hijo.EnEjecucion());
    EXPECT_NE(hijo.Esperar(), 0);
}

TEST(ProcessTest, ProgramaInexistenteNoArranca) {
    platform::ProcesoHijo hijo;
    EXPECT_FALSE(hijo.Iniciar({(std::filesystem::temp_directory_path() / "no-existe-olvado").string()}));
    EXPECT_FALSE(hijo.Iniciar({}));
    EXPECT_EQ(hijo.Esperar(), -1);
}

TEST(ProcessTest, ArgumentosLleganIntactos) {
    // Quotes, blanks and backslashes before a quote or at the end are the
    // cases a command line built by hand gets wrong on Windows.
    const std::vector<std::string> dificiles = {"a b", "dos\\\"comillas", "fin\\", "c:\\x y\\", ""};
    if (prueba::RolHijo() == "argumentos") {
        const std::vector<std::string> recibidos = ::testing::internal::GetArgvs();
        bool iguales = recibidos.size() >= dificiles.size() &&
                       std::equal(dificiles.begin(), dificiles.end(), recibidos.end() - dificiles.size());
        std::exit(iguales ? 0 : 1);
    }
    std::vector<std::string> args = prueba::ArgumentosHijo("ProcessTest.ArgumentosLleganIntactos");
    args.insert(args.end(), dificiles.begin(), dificiles.end());
    platform::ProcesoHijo hijo;
    ASSERT_TRUE(hijo.Iniciar(args, {{"OLVADO_TEST_ROL", "argumentos"}}));
    EXPECT_EQ(hijo.Esperar(), 0);
}
