#include "database/ConfigConexion.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace olvado;
namespace fs = std::filesystem;

// The connection store chooses every workstation's database: under umask
// 000 it is still 0644 in 0755 folders, a rewrite keeps a stricter mode and
// takes the others' write right away, and a link in its place is refused.
TEST(ConfigConexionPosixTest, AlmacenDeConexionesSinEscrituraAjenaConUmaskCero) {
    prueba::ArbolPrueba arbol;
    const std::string ruta = ConfigConexion::RutaAlmacen();
    const auto modo = [](const std::string& r) { return fs::status(r).permissions() & fs::perms::all; };
    const mode_t antes = ::umask(0);
    DatosConexion d;
    d.Nombre = "prueba", d.CadenaConexion = "Provider=SQLite;Data Source=x.db";
    std::string error;
    EXPECT_EQ(ConfigConexion::AgregarConexion(d, error), 1) << error;
    EXPECT_EQ(modo(ruta), static_cast<fs::perms>(0644));
    EXPECT_EQ(modo(ConfigConexion::CarpetaAlmacen()), static_cast<fs::perms>(0755));
    ::chmod(ruta.c_str(), 0600);
    EXPECT_EQ(ConfigConexion::AgregarConexion(d, error), 2) << error;
    EXPECT_EQ(modo(ruta), static_cast<fs::perms>(0600));
    ::chmod(ruta.c_str(), 0666);
    EXPECT_EQ(ConfigConexion::AgregarConexion(d, error), 3) << error;
    EXPECT_EQ(modo(ruta), static_cast<fs::perms>(0644));
    const std::string otro = (arbol.Temporal() / "otro.dat").string();
    fs::rename(ruta, otro);
    fs::create_symlink(otro, ruta);
    EXPECT_EQ(ConfigConexion::AgregarConexion(d, error), 0);
    EXPECT_TRUE(fs::is_symlink(ruta));
    ::umask(antes);
    fs::remove(ruta);
}
