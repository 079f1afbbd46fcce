// The child-process and environment contracts, on both systems, with this
// test binary as the child.
#include "platform/ProcesoHijo.h"
#include "platform/Entorno.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace olvado;

// Quotes, blanks and backslashes before a quote or at the end are the cases a
// command line built by hand gets wrong on Windows; an empty value removes a
// variable the parent has.
TEST(ProcessTest, HijoVeSuEntornoYArgumentosYDevuelveSuCodigo) {
    const std::vector<std::string> dificiles = {"a b", "dos\\\"comillas", "fin\\", "c:\\x y\\", ""};
    if (prueba::RolHijo() == "salir") {
        const auto recibidos = ::testing::internal::GetArgvs();
        bool iguales = recibidos.size() >= dificiles.size() &&
                       std::equal(dificiles.begin(), dificiles.end(), recibidos.end() - dificiles.size());
        bool entorno = platform::LeerVariableEntorno("OLVADO_TEST_VALOR") == "ñandú" &&
                       !platform::ExisteVariableEntorno("OLVADO_TEST_QUITAR");
        std::exit(iguales && entorno ? 42 : iguales ? 2 : 1);
    }
    platform::EstablecerVariableEntorno("OLVADO_TEST_QUITAR", "x");
    auto args = prueba::ArgumentosHijo("ProcessTest.HijoVeSuEntornoYArgumentosYDevuelveSuCodigo");
    args.insert(args.end(), dificiles.begin(), dificiles.end());
    platform::ProcesoHijo hijo;
    ASSERT_TRUE(hijo.Iniciar(
        args, {{"OLVADO_TEST_ROL", "salir"}, {"OLVADO_TEST_VALOR", "ñandú"}, {"OLVADO_TEST_QUITAR", ""}}));
    EXPECT_GT(hijo.Id(), 0);
    EXPECT_EQ(hijo.Esperar(), 42);
    EXPECT_EQ(hijo.Esperar(), 42); // a second wait answers the same code
    EXPECT_FALSE(hijo.EnEjecucion());
    platform::EstablecerVariableEntorno("OLVADO_TEST_QUITAR", "");
    EXPECT_FALSE(platform::ExisteVariableEntorno("OLVADO_TEST_QUITAR"));
}

TEST(ProcessTest, TerminarAcabaUnHijoQueEsperaYLoQueNoArranca) {
    if (prueba::RolHijo() == "dormir") {
        for (;;) {
        }
    }
    platform::ProcesoHijo hijo;
    ASSERT_TRUE(
        hijo.Iniciar(prueba::ArgumentosHijo("ProcessTest.TerminarAcabaUnHijoQueEsperaYLoQueNoArranca"),
                     {{"OLVADO_TEST_ROL", "dormir"}}));
    EXPECT_TRUE(hijo.EnEjecucion());
    EXPECT_TRUE(hijo.Terminar());
    EXPECT_FALSE(hijo.EnEjecucion());
    EXPECT_NE(hijo.Esperar(), 0);

    platform::ProcesoHijo nada;
    EXPECT_FALSE(nada.Iniciar({(std::filesystem::temp_directory_path() / "no-existe-olvado").string()}));
    EXPECT_FALSE(nada.Iniciar({}));
    EXPECT_EQ(nada.Esperar(), -1);
}
