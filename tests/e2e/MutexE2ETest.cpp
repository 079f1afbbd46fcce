// The built updater against the family's mutexes: a running family program
// ends the run with its log line, a running updater ends it silently (with
// nothing running, ActualizacionE2E's runs show "Mutex Creado"). The holders
// are this test binary re-run as a child, killed at the end.
#include "platform/Entorno.h"
#include "platform/MutexNombrado.h"
#include "platform/ProcesoHijo.h"
#include "support/ActualizadorPrueba.h"
#include "support/DocumentosPrueba.h"
#include "updater/MuteX.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

// A child holds what its role names, tells so and waits to be killed; it
// works in its parent's tree.
void Sostener(const std::string& rol) {
    if (rol == "familia")
        platform::CrearMutexNombrado(MutexNombreBase(true), true);
    else
        CrearMutex("Updater", true, true);
    prueba::EscribirArchivo(platform::LeerVariableEntorno("OLVADO_TEST_LISTO"), "1");
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

} // namespace

TEST(MutexE2E, UnProgramaOActualizadorEnEjecucionTerminaLaCorrida) {
    if (!prueba::RolHijo().empty())
        Sostener(prueba::RolHijo());
    prueba::ArbolPrueba arbol;
    prueba::ArchivosEnDocumentos log{"Olvado_UpdaterLog.txt"};
    const std::pair<const char*, std::vector<std::string>> casos[] = {
        {"familia",
         {"Iniciando OlvadoUpdater", "Log Preparado",
          "Se detectó que alguno de los programas está ejecutandose. Se abortará la operación."}},
        {"actualizador", {"Iniciando OlvadoUpdater", "Log Preparado"}},
    };
    for (const auto& [rol, esperado] : casos) {
        const fs::path listo = arbol.Raiz() / ("listo-" + std::string(rol));
        auto entorno = arbol.Entorno();
        entorno.insert(entorno.end(), {{"OLVADO_TEST_ROL", rol}, {"OLVADO_TEST_LISTO", listo.string()}});
        platform::ProcesoHijo hijo; // killed at the end of the case
        ASSERT_TRUE(hijo.Iniciar(
            prueba::ArgumentosHijo("MutexE2E.UnProgramaOActualizadorEnEjecucionTerminaLaCorrida"), entorno));
        for (int i = 0; i < 600 && !fs::exists(listo); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ASSERT_TRUE(fs::exists(listo)) << rol;
        EXPECT_EQ(prueba::EjecutarActualizador(arbol), esperado) << rol;
        // Preparing replaces no file: only another updater stops it.
        prueba::CorridaActualizador preparar;
        preparar.argumentos = {"--preparar"};
        const auto t = prueba::EjecutarActualizador(arbol, preparar);
        EXPECT_EQ(prueba::Tiene(t, "Mutex Creado"), rol == std::string("familia")) << ::testing::PrintToString(t);
    }
}
