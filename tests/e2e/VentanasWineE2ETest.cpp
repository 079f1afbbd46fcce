// The Windows build's connection list under Wine, on the test display: of
// two stored connections the one chosen by keyboard is the one opened.
// Driven from the native runner, which owns the display; the Windows build
// must have been built beside this one (scripts/build win).
#include "database/ado/Connection.h"
#include "platform/Entorno.h"
#include "platform/ProcesoHijo.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/DocumentosPrueba.h"
#include "support/PantallaPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace olvado {
namespace {

namespace fs = std::filesystem;
using P = prueba::PantallaPrueba;

TEST(VentanasWineE2E, ListaDeConexionesDelUpdaterDeWindows) {
    const fs::path raiz = OLVADO_SOURCE_DIR;
    const fs::path updater = raiz / "build/win/OlvadoUpdater.exe";
    if (platform::RutaEjecutableActual().find(".exe") != std::string::npos || !fs::exists(updater))
        GTEST_SKIP() << "needs the native runner and the Windows build in build/win";
    ASSERT_TRUE(P::Iniciar());
    std::string prefijo = platform::LeerVariableEntorno("WINEPREFIX");
    if (prefijo.empty())
        prefijo = (raiz / "build/win/wineprefix").string();
    const fs::path c = fs::path(prefijo) / "drive_c";
    const fs::path base = fs::path(OLVADO_BINARY_DIR) / "pruebas-db/wine-ventanas.db";
    fs::remove(base);
    {
        ado::Connection db;
        db.Open("Driver=SQLite3;Database=" + base.string());
        db.Execute("CREATE TABLE Valores (idVariable VARCHAR(50), Tipo INT, ValorTexto VARCHAR(255), ValorLargo INT)");
    }
    prueba::AlmacenPrueba almacen((c / "ProgramData/Olvado Systems/Olvado/Conexiones.dat").string());
    almacen.Escribir({{"1", "Sin servidor", "Driver=SQLite3;Database=/nonexistent/olvado.db", "", "1"},
                      {"2", "Oficina central", "Driver=SQLite3;Database=" + base.string(), "", "1"}});
    // The run log lands in the prefix's Documents folder of the user.
    auto logs = [&c] {
        std::vector<fs::path> r;
        for (const auto& d : fs::directory_iterator(c / "users"))
            if (fs::exists(d.path() / "Documents/Olvado_UpdaterLog.txt"))
                r.push_back(d.path() / "Documents/Olvado_UpdaterLog.txt");
        return r;
    };
    for (const auto& l : logs())
        fs::remove(l);

    platform::ProcesoHijo hijo;
    ASSERT_TRUE(hijo.Iniciar({(raiz / "scripts/lib/wine-run").string(), updater.string()},
                             {P::Entorno(), {"WINEPREFIX", prefijo}}));
    std::string id = P::EsperarVentana("Seleccionar Base de Datos", 60);
    ASSERT_FALSE(id.empty());
    P::Teclas(id, {"Down"});
    P::Capturar("seleccionar-base-de-datos-wine");
    P::Teclas(id, {"Return"});
    EXPECT_EQ(hijo.Esperar(), 0);
    ASSERT_EQ(logs().size(), 1u);
    auto t = prueba::TextosDelLog(prueba::LeerArchivo(logs()[0]));
    EXPECT_NE(std::find(t.begin(), t.end(), "Objetos Listos"), t.end()) << ::testing::PrintToString(t);
}

} // namespace
} // namespace olvado
