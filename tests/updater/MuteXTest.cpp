// The family's mutexes across real processes: this test binary re-run as the
// holder, killed to end it.
#include "support/ArbolPrueba.h"

#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "updater/MuteX.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

// Child roles: hold the names, say so with a file, and wait to be killed.
void Sostener(bool (*crear)()) {
    bool r = crear();
    prueba::EscribirArchivo(platform::LeerVariableEntorno("OLVADO_TEST_LISTO"), r ? "1" : "0");
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

bool Esperar(const fs::path& archivo) {
    for (int i = 0; i < 600 && !fs::exists(archivo); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return fs::exists(archivo);
}

bool Lanzar(platform::ProcesoHijo& hijo, const std::string& prueba, const std::string& rol,
            const fs::path& listo) {
    return hijo.Iniciar(prueba::ArgumentosHijo(prueba),
                        {{"OLVADO_TEST_ROL", rol}, {"OLVADO_TEST_LISTO", listo.string()}});
}

} // namespace

TEST(MuteXTest, Nombres) {
    const std::string base = "OlvadoSystems-9E2B64A8-EF85-46D1-9561-11A2FF589935";
    std::string g, l;
    MutexNombres(g, l, "");
    EXPECT_EQ(std::tie(g, l), std::make_tuple("Global\\" + base, base));
    EXPECT_EQ(std::make_pair(MutexNombreBase(true), MutexNombreBase(false)), std::make_pair(g, l));
    MutexNombres(g, l, "Updater");
    EXPECT_EQ(std::tie(g, l), std::make_tuple("Global\\" + base + "-Updater", base + "-Updater"));
}

TEST(MuteXTest, SoloLaFormaLocalSeVeConGlobalVerdadero) {
    const char* kPrueba = "MuteXTest.SoloLaFormaLocalSeVeConGlobalVerdadero";
    if (prueba::RolHijo() == "local")
        Sostener([] { return CrearMutex("", false, false); });
    prueba::ArbolPrueba arbol;
    EXPECT_FALSE(MutexExiste("", true));
    platform::ProcesoHijo hijo;
    ASSERT_TRUE(Lanzar(hijo, kPrueba, "local", arbol.Raiz() / "listo"));
    ASSERT_TRUE(Esperar(arbol.Raiz() / "listo"));
    EXPECT_TRUE(MutexExiste("", true));
    EXPECT_FALSE(MutexExiste("", false));
    EXPECT_FALSE(MutexExiste("Updater", true));
    hijo.Terminar();
    EXPECT_FALSE(MutexExiste("", true)); // gone with its holder
}

TEST(MuteXTest, ElPropioProcesoVeLoQueSostiene) {
    prueba::ArbolPrueba arbol;
    EXPECT_TRUE(CrearMutex("PruebaPropia", true, true));
    EXPECT_TRUE(MutexExiste("PruebaPropia", false));
    EXPECT_FALSE(CrearMutex("PruebaPropia", true, true));
    EXPECT_TRUE(CrearMutex("PruebaPropia", true, false)); // without the check it always answers True
}
