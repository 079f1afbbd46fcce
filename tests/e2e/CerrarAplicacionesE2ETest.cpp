// The close-applications dialog on a real display, asked through the common
// utilities' EsperarACerrar in a child of this program while the test drives
// it by keyboard: Continuar with a family window open keeps it up with the
// warning and the timer closes it once the window is gone (True); Escape
// gives up (False).
#include "common/clsStgComunes.h"
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "support/ArbolPrueba.h"
#include "support/PantallaPrueba.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

namespace olvado {
namespace {

namespace fs = std::filesystem;
using P = prueba::PantallaPrueba;
const char* const kCaption = "Actualización de Productos";

class CerrarAplicacionesE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (prueba::RolHijo() == "esperar") {
            bool r = clsStgComunes().EsperarACerrar();
            prueba::EscribirArchivo(fs::u8path(platform::LeerVariableEntorno("OLVADO_TEST_SALIDA")), r ? "1" : "0");
            std::exit(0);
        }
        if (platform::RutaEjecutableActual().find(".exe") != std::string::npos)
            GTEST_SKIP() << "the Windows build's dialog is driven from the native runner";
        arbol_.emplace();
        ASSERT_TRUE(P::Iniciar());
        ASSERT_FALSE(P::AbrirVentanaAjena("ThunderRT6FormDC", "Olvado - Ventas").empty());
    }
    void TearDown() override { P::CerrarVentanasAjenas(); }

    // Starts the child; its answer once drive has run and it ended.
    std::string Esperar(const std::function<void(const std::string& dialogo)>& drive) {
        const auto* t = ::testing::UnitTest::GetInstance()->current_test_info();
        auto entorno = arbol_->Entorno();
        entorno.push_back(P::Entorno());
        entorno.emplace_back("OLVADO_TEST_ROL", "esperar");
        entorno.emplace_back("OLVADO_TEST_SALIDA", (arbol_->Raiz() / "salida.txt").string());
        platform::ProcesoHijo hijo;
        EXPECT_TRUE(hijo.Iniciar(prueba::ArgumentosHijo(std::string(t->test_suite_name()) + "." + t->name()), entorno));
        std::string id = P::EsperarVentana(kCaption);
        EXPECT_FALSE(id.empty());
        if (!id.empty())
            drive(id);
        EXPECT_EQ(hijo.Esperar(), 0);
        return prueba::LeerArchivo(arbol_->Raiz() / "salida.txt");
    }

    // Not in the child: the tree would take its display away.
    std::optional<prueba::ArbolPrueba> arbol_;
};

TEST_F(CerrarAplicacionesE2E, ContinuarConVentanasYElTemporizador) {
    EXPECT_EQ(Esperar([](const std::string& id) {
                  P::Teclas(id, {"Return"});
                  P::Capturar("cerrar-aplicaciones");
                  // Still up after a timer tick or two, with the warning.
                  EXPECT_FALSE(P::EsperarCierre(kCaption, 3));
                  P::CerrarVentanasAjenas();
                  EXPECT_TRUE(P::EsperarCierre(kCaption, 5));
              }),
              "1");
}

TEST_F(CerrarAplicacionesE2E, EscapeAbandona) {
    EXPECT_EQ(Esperar([](const std::string& id) { P::Teclas(id, {"Escape"}); }), "0");
}

} // namespace
} // namespace olvado
