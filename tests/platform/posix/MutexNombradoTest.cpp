// The lock-file stand-in of named mutexes against what another user can plant
// in a shared folder.
#include "platform/MutexNombrado.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace olvado;
namespace fs = std::filesystem;

namespace {
mode_t Modo(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}
} // namespace

TEST(NamedMutexPosixTest, CarpetasYArchivosPlantadosNoSeUsan) {
    prueba::ArbolPrueba arbol;
    fs::path global = arbol.Temporal() / ".olvado-mutex";
    fs::path secreto = arbol.Raiz() / "secreto";
    prueba::EscribirArchivo(secreto, "solo root");
    ::chmod(secreto.c_str(), 0600);

    // A fresh folder is made like /tmp; a link named like a lock file is not followed.
    ASSERT_TRUE(platform::CrearMutexNombrado("Global\\Uno", true));
    EXPECT_EQ(Modo(global), 01777u);
    EXPECT_EQ(Modo(global / "Uno.lock"), 0666u);
    fs::create_symlink(secreto, global / "Dos.lock");
    EXPECT_FALSE(platform::CrearMutexNombrado("Global\\Dos", true));
    EXPECT_EQ(Modo(secreto), 0600u);
    ::mkfifo((global / "Tres.lock").c_str(), 0666);
    EXPECT_FALSE(platform::CrearMutexNombrado("Global\\Tres", true));

    // A folder others may write without the sticky bit, or a link in place of the folder.
    fs::path local = arbol.Raiz() / "run/olvado-mutex";
    fs::create_directories(local);
    ::chmod(local.c_str(), 0777);
    EXPECT_FALSE(platform::CrearMutexNombrado("Cuatro", false));
    fs::remove(local);
    fs::create_directory_symlink(arbol.Temporal(), local);
    EXPECT_FALSE(platform::CrearMutexNombrado("Cuatro", false));
    EXPECT_FALSE(fs::exists(arbol.Temporal() / "Cuatro.lock"));
    fs::remove(local);
    EXPECT_TRUE(platform::CrearMutexNombrado("Cuatro", false));
    EXPECT_EQ(Modo(local), 0700u);
    EXPECT_TRUE(platform::ExisteMutexNombrado("Cuatro"));

    // A folder made first by another user is refused, even sticky.
    if (::geteuid() == 0) {
        fs::remove_all(global);
        fs::create_directory(global);
        ::chmod(global.c_str(), 01777);
        ASSERT_EQ(::chown(global.c_str(), 4321, 4321), 0);
        EXPECT_FALSE(platform::CrearMutexNombrado("Global\\Cinco", true));
        EXPECT_FALSE(fs::exists(global / "Cinco.lock"));
    }
}
