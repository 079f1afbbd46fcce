// The family's mutexes across real processes: this test binary re-run as the
// holder, killed to end it.
#include "support/ArbolPrueba.h"

#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "updater/MuteX.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
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
    std::string g, l;
    MutexNombres(g, l, "");
    EXPECT_EQ(g, "Global\\OlvadoSystems-9E2B64A8-EF85-46D1-9561-11A2FF589935");
    EXPECT_EQ(l, "OlvadoSystems-9E2B64A8-EF85-46D1-9561-11A2FF589935");
    EXPECT_EQ(MutexNombreBase(true), g);
    EXPECT_EQ(MutexNombreBase(false), l);
    MutexNombres(g, l, "Updater");
    EXPECT_EQ(g, "Global\\OlvadoSystems-9E2B64A8-EF85-46D1-9561-11A2FF589935-Updater");
    EXPECT_EQ(l, "OlvadoSystems-9E2B64A8-EF85-46D1-9561-11A2FF589935-Updater");
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

TEST(MuteXTest, UnSegundoActualizadorNoPasa) {
    const char* kPrueba = "MuteXTest.UnSegundoActualizadorNoPasa";
    if (prueba::RolHijo() == "actualizador")
        Sostener([] { return CrearMutex("Updater", true, true); });
    if (prueba::RolHijo() == "segundo")
        std::exit(CrearMutex("Updater", true, true) ? 1 : 0);
    prueba::ArbolPrueba arbol;
    platform::ProcesoHijo primero, segundo, tercero;
    ASSERT_TRUE(Lanzar(primero, kPrueba, "actualizador", arbol.Raiz() / "listo"));
    ASSERT_TRUE(Esperar(arbol.Raiz() / "listo"));
    EXPECT_EQ(prueba::LeerArchivo(arbol.Raiz() / "listo"), "1");
    EXPECT_TRUE(MutexExiste("Updater", false)); // the global form is held
    EXPECT_FALSE(MutexExiste("", true));        // the family's names are not
    ASSERT_TRUE(Lanzar(segundo, kPrueba, "segundo", arbol.Raiz() / "no-usado"));
    EXPECT_EQ(segundo.Esperar(), 0) << "a second CrearMutex(\"Updater\", true, true) answered True";
    primero.Terminar();
    EXPECT_FALSE(MutexExiste("Updater", true));
    ASSERT_TRUE(Lanzar(tercero, kPrueba, "segundo", arbol.Raiz() / "no-usado"));
    EXPECT_EQ(tercero.Esperar(), 1) << "with the first one gone the names are free again";
}

TEST(MuteXTest, ElPropioProcesoVeLoQueSostiene) {
    prueba::ArbolPrueba arbol;
    EXPECT_TRUE(CrearMutex("PruebaPropia", true, true));
    EXPECT_TRUE(MutexExiste("PruebaPropia", false));
    EXPECT_FALSE(CrearMutex("PruebaPropia", true, true));
    EXPECT_TRUE(CrearMutex("PruebaPropia", true, false)); // without the check it always answers True
}
