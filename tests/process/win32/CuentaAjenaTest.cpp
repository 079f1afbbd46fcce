// The Windows calls themselves: the real token, the sharing of a sealed
// package file, and the elevated shell start.
#include "platform/ArchivoSellado.h"
#include "platform/Entorno.h"
#include "platform/FichaAcceso.h"
#include "platform/ProcesoHijo.h"
#include "process/EsAdmin.h"
#include "process/ShellEjecutar.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

using namespace olvado;
namespace fs = std::filesystem;

namespace {
// scripts/lib/wine-run names the prefix; Wine hands the variable to the program.
bool BajoWine() { return platform::ExisteVariableEntorno("WINEPREFIX"); }
} // namespace

TEST(CuentaAjenaWinTest, FichaRealDelProceso) {
    std::vector<std::string> grupos, administradores;
    auto& ficha = platform::IFichaAcceso::Actual();
    ASSERT_TRUE(ficha.GruposDelToken(grupos));
    ASSERT_TRUE(ficha.NombresAdministradores(administradores));
    ASSERT_EQ(administradores.size(), 1u);
    EXPECT_FALSE(administradores[0].empty());
    EXPECT_GE(grupos.size(), 2u);
    bool esta = std::find(grupos.begin(), grupos.end(), administradores[0]) != grupos.end();
    EXPECT_EQ(EsUsuarioAdministrador(), esta);
    if (BajoWine()) {
        EXPECT_TRUE(esta) << "el usuario de Wine tiene el alias Administrators";
    }
}

TEST(CuentaAjenaWinTest, ElArchivoSelladoNoSePuedeCambiarNiBorrar) {
    prueba::ArbolPrueba arbol;
    fs::path p = arbol.Temporal() / "Olvado_Act.exe";
    prueba::EscribirArchivo(p, "MZ paquete");
    {
        platform::ArchivoSellado sellado;
        ASSERT_TRUE(sellado.Abrir(p.string()));
        std::error_code ec;
        EXPECT_FALSE(fs::remove(p, ec));
        fs::rename(p, arbol.Temporal() / "otro.exe", ec);
        EXPECT_TRUE(ec);
        std::ofstream escritor(p, std::ios::binary | std::ios::app);
        EXPECT_FALSE(escritor.is_open());
        // Nor can another file be moved over it.
        prueba::EscribirArchivo(arbol.Temporal() / "nuevo.exe", "MZ otro");
        fs::rename(arbol.Temporal() / "nuevo.exe", p, ec);
        EXPECT_TRUE(ec);
        // Others may still read it (the shell must, to start it).
        EXPECT_EQ(prueba::LeerArchivo(p), "MZ paquete");
    }
    EXPECT_TRUE(fs::remove(p));
}

TEST(CuentaAjenaWinTest, ShellConVerboRunasEsperaAlProceso) {
    if (prueba::RolHijo() == "marcar") {
        prueba::EscribirArchivo(platform::LeerVariableEntorno("OLVADO_TEST_REGISTRO"),
                                "elevado en " + fs::current_path().string());
        std::exit(0);
    }
    prueba::ArbolPrueba arbol;
    fs::path registro = arbol.Temporal() / "registro.txt";
    platform::EstablecerVariableEntorno("OLVADO_TEST_ROL", "marcar");
    platform::EstablecerVariableEntorno("OLVADO_TEST_REGISTRO", registro.string());
    // Started from elsewhere, it runs in its own folder.
    const fs::path antes = fs::current_path();
    fs::current_path(arbol.Temporal());
    bool ok = ShellEjecutarArchivo(platform::RutaEjecutableActual(),
                                   "--gtest_filter=CuentaAjenaWinTest.ShellConVerboRunasEsperaAlProceso", 0, true,
                                   true);
    fs::current_path(antes);
    platform::EstablecerVariableEntorno("OLVADO_TEST_ROL", "");
    platform::EstablecerVariableEntorno("OLVADO_TEST_REGISTRO", "");
    ASSERT_TRUE(ok);
    EXPECT_EQ(prueba::LeerArchivo(registro),
              "elevado en " + fs::path(platform::RutaEjecutableActual()).parent_path().string());
}
