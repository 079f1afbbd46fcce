// The Windows build's windows under Wine, on the test display: of two stored
// connections the one chosen by keyboard is the one opened; the sample
// program updates itself through the update library.
// Driven from the native runner, which owns the display; the Windows build
// must have been built beside this one (scripts/build win).
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "support/ActualizadorPrueba.h"
#include "support/AlmacenPrueba.h"
#include "support/DocumentosPrueba.h"
#include "support/PantallaPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace olvado {
namespace {

namespace fs = std::filesystem;
using P = prueba::PantallaPrueba;

class VentanasWineE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        if (platform::RutaEjecutableActual().find(".exe") != std::string::npos ||
            !fs::exists(win_ / "OlvadoUpdater.exe"))
            GTEST_SKIP() << "needs the native runner and the Windows build in build/win";
        ASSERT_TRUE(P::Iniciar());
        if (prefijo_.empty())
            prefijo_ = (raiz_ / "build/win/wineprefix").string();
        fs::remove(base_);
        prueba::CrearTablas({"", "Driver=SQLite3;Database=" + base_.string(), "", "", "", 3});
    }
    fs::path C() const { return fs::path(prefijo_) / "drive_c"; }
    // The run logs of a program in the prefix's Documents folders.
    std::vector<fs::path> Logs(const std::string& nombre) const {
        std::vector<fs::path> r;
        for (const auto& d : fs::directory_iterator(C() / "users"))
            if (fs::exists(d.path() / "Documents" / nombre))
                r.push_back(d.path() / "Documents" / nombre);
        return r;
    }
    // A program under the prefix's Wine, on the test display.
    void Iniciar(platform::ProcesoHijo& hijo, std::vector<std::string> argumentos,
                 prueba::Variables entorno = {}) {
        argumentos.insert(argumentos.begin(), (raiz_ / "scripts/lib/wine-run").string());
        entorno.insert(entorno.end(), {P::Entorno(), {"WINEPREFIX", prefijo_}});
        ASSERT_TRUE(hijo.Iniciar(argumentos, entorno));
    }
    // The prefix's registry through Wine's reg; its output.
    std::string Reg(std::vector<std::string> argumentos) {
        const fs::path salida = fs::path(OLVADO_BINARY_DIR) / "pruebas-db/wine-reg.txt";
        argumentos.insert(argumentos.begin(), "reg");
        platform::ProcesoHijo reg;
        reg.RedirigirSalidas(salida.string(), "");
        Iniciar(reg, argumentos);
        reg.Esperar();
        return prueba::LeerArchivo(salida);
    }

    const fs::path raiz_ = OLVADO_SOURCE_DIR;
    const fs::path win_ = raiz_ / "build/win";
    const fs::path base_ = fs::path(OLVADO_BINARY_DIR) / "pruebas-db/wine-ventanas.db";
    std::string prefijo_ = platform::LeerVariableEntorno("WINEPREFIX");
};

TEST_F(VentanasWineE2E, ListaDeConexionesDelUpdaterDeWindows) {
    prueba::AlmacenPrueba almacen((C() / "ProgramData/Olvado Systems/Olvado/Conexiones.dat").string());
    almacen.Escribir({{"1", "Sin servidor", "Driver=SQLite3;Database=/nonexistent/olvado.db", "", "1"},
                      {"2", "Oficina central", "Driver=SQLite3;Database=" + base_.string(), "", "1"}});
    for (const auto& l : Logs("Olvado_UpdaterLog.txt"))
        fs::remove(l);
    platform::ProcesoHijo hijo;
    Iniciar(hijo, {(win_ / "OlvadoUpdater.exe").string()});
    std::string id = P::EsperarVentana("Seleccionar Base de Datos", 60);
    ASSERT_FALSE(id.empty());
    P::Teclas(id, {"Down"});
    P::Capturar("seleccionar-base-de-datos-wine");
    P::Teclas(id, {"Return"});
    EXPECT_EQ(hijo.Esperar(), 0);
    ASSERT_EQ(Logs("Olvado_UpdaterLog.txt").size(), 1u);
    auto t = prueba::TextosDelLog(prueba::LeerArchivo(Logs("Olvado_UpdaterLog.txt")[0]));
    EXPECT_NE(std::find(t.begin(), t.end(), "Objetos Listos"), t.end()) << ::testing::PrintToString(t);
}

// The Windows sample program updates itself through OlvadoActualizar.dll once
// the close dialog, listing Wine's Internet Explorer, has kept its warning on
// Continuar and closed on its timer (the package is the Windows e2e runner in
// its installer role); a second run cancelled in the dialog starts nothing.
TEST_F(VentanasWineE2E, ProgramaDeEjemploDeWindows) {
    const fs::path instalador = win_ / "tests/olvado_e2e_tests.exe";
    const std::string bytes = prueba::LeerArchivo(instalador);
    prueba::PublicarPaquete("Driver=SQLite3;Database=" + base_.string(), "1.0.70", bytes,
                            prueba::Md5Cifrado(bytes));
    prueba::AlmacenPrueba almacen((C() / "ProgramData/Olvado Systems/Olvado/Conexiones.dat").string());
    almacen.Escribir({{"1", "Oficina central", "Driver=SQLite3;Database=" + base_.string(), "", "1"}});
    fs::create_directories(C() / "ProgramData/Olvado Systems/Olvado/DB");
    // The family's keys live in the 32-bit view, where the 64-bit reg.exe sees
    // them under WOW6432Node.
    const std::string clave = "HKLM\\Software\\WOW6432Node\\Olvado Systems\\Olvado";
    Reg({"delete", clave, "/v", "ActualizacionPendiente", "/f"});
    const fs::path salida = fs::path(OLVADO_BINARY_DIR) / "pruebas-db/wine-instalador.txt";
    platform::ProcesoHijo navegador, hijo;
    for (const std::string tecla : {"Return", "Escape"}) { // Continuar, then Cancelar
        fs::remove(salida);
        Iniciar(navegador, {"iexplore", "about:blank"});
        ASSERT_FALSE(P::EsperarVentana("Wine Internet Explorer", 60).empty());
        Iniciar(hijo, {(win_ / "OlvadoEjemplo.exe").string()},
                {{"GTEST_FILTER", "Motores/ActualizacionE2E.VentanasConPantalla/*"},
                 {"OLVADO_TEST_ROL", "instalador"},
                 {"OLVADO_TEST_SALIDA", "Z:" + salida.string()}});
        std::string id = P::EsperarVentana("Actualización de Olvado", 60);
        ASSERT_FALSE(id.empty());
        P::Capturar("pregunta-actualizacion-wine");
        P::Teclas(id, {"Return"});
        id = P::EsperarVentana("Actualización de Productos", 30);
        ASSERT_FALSE(id.empty());
        P::Teclas(id, {tecla});
        const bool cancelado = tecla == "Escape";
        if (!cancelado) {
            EXPECT_FALSE(P::EsperarCierre("Actualización de Productos", 3));
            P::Capturar("cerrar-aplicaciones-wine");
            navegador.Terminar();
        }
        EXPECT_TRUE(P::EsperarCierre("Actualización de Productos", 5));
        EXPECT_EQ(hijo.Esperar(), 0);
        navegador.Terminar();
        EXPECT_EQ(prueba::LeerArchivo(salida), cancelado ? "" : "args=/SILENT /SUPPRESSMSGBOXES /NOCANCEL\n");
        // The pending mark, left for the program's next start (and removed here).
        EXPECT_EQ(Reg({"query", clave, "/v", "ActualizacionPendiente"}).find("REG_SZ    1") !=
                      std::string::npos,
                  !cancelado);
        Reg({"delete", clave, "/v", "ActualizacionPendiente", "/f"});
    }
    fs::remove_all(C() / "ProgramData/Olvado Systems/Olvado/DB");
}

} // namespace
} // namespace olvado
