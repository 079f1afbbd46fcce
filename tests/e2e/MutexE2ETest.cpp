// The built updater against the family's mutexes: a running family program
// ends the run with its log line, a running updater ends it silently, and with
// nothing running the updater takes its own mutex. The holders are this test
// binary re-run as a child, killed at the end.
#include "platform/Entorno.h"
#include "platform/MutexNombrado.h"
#include "platform/ProcesoHijo.h"
#include "support/ActualizadorPrueba.h"
#include "support/DocumentosPrueba.h"
#include "updater/MuteX.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

// Child roles: hold, tell, wait. The child runs in its parent's tree.
void RolHijo() {
    std::string rol = prueba::RolHijo();
    if (rol == "familia")
        platform::CrearMutexNombrado(MutexNombreBase(true), true);
    else if (rol == "actualizador")
        CrearMutex("Updater", true, true);
    prueba::EscribirArchivo(platform::LeerVariableEntorno("OLVADO_TEST_LISTO"), "1");
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

class MutexE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!prueba::RolHijo().empty())
            RolHijo();
        arbol_.emplace();
        log_.emplace(std::initializer_list<std::string>{"Olvado_UpdaterLog.txt"});
    }

    // A child of this binary that holds what `rol` names until it is killed.
    void Sostener(platform::ProcesoHijo& hijo, const std::string& prueba, const std::string& rol) {
        fs::path listo = arbol_->Raiz() / ("listo-" + rol);
        auto entorno = arbol_->Entorno();
        entorno.push_back({"OLVADO_TEST_ROL", rol});
        entorno.push_back({"OLVADO_TEST_LISTO", listo.string()});
        ASSERT_TRUE(hijo.Iniciar(prueba::ArgumentosHijo(prueba), entorno));
        for (int i = 0; i < 600 && !fs::exists(listo); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ASSERT_TRUE(fs::exists(listo));
    }

    std::vector<std::string> EjecutarActualizador() { return prueba::EjecutarActualizador(*arbol_); }

    // Not in a child: it works in its parent's tree.
    std::optional<prueba::ArbolPrueba> arbol_;
    std::optional<prueba::ArchivosEnDocumentos> log_;
};

} // namespace

TEST_F(MutexE2E, UnProgramaDeLaFamiliaEnEjecucionTerminaLaCorrida) {
    platform::ProcesoHijo familia;
    Sostener(familia, "MutexE2E.UnProgramaDeLaFamiliaEnEjecucionTerminaLaCorrida", "familia");
    auto textos = EjecutarActualizador();
    EXPECT_EQ(textos, (std::vector<std::string>{
                          "Iniciando OlvadoUpdater", "Log Preparado",
                          "Se detectó que alguno de los programas está ejecutandose. Se abortará la operación."}));
}

TEST_F(MutexE2E, OtroActualizadorEnEjecucionTerminaSinMasLineas) {
    platform::ProcesoHijo otro;
    Sostener(otro, "MutexE2E.OtroActualizadorEnEjecucionTerminaSinMasLineas", "actualizador");
    auto textos = EjecutarActualizador();
    EXPECT_EQ(textos, (std::vector<std::string>{"Iniciando OlvadoUpdater", "Log Preparado"}));
}

TEST_F(MutexE2E, SinNadaEnEjecucionCreaSuMutex) {
    auto textos = EjecutarActualizador();
    ASSERT_GE(textos.size(), 3u);
    EXPECT_EQ(textos[0], "Iniciando OlvadoUpdater");
    EXPECT_EQ(textos[1], "Log Preparado");
    EXPECT_EQ(textos[2], "Mutex Creado");
    // Its mutex went with it: a second run passes the same way.
    EXPECT_FALSE(MutexExiste("Updater", true));
    textos = EjecutarActualizador();
    ASSERT_GE(textos.size(), 3u);
    EXPECT_EQ(textos[2], "Mutex Creado");
}
