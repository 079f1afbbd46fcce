// The file tools on Linux: the shell's move, real Linux paths, and the log
// when no descriptor is free.
#include "common/FileTool.h"
#include "common/clsFileLog.h"
#include "platform/SistemaArchivos.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace olvado;
namespace fs = std::filesystem;

TEST(FileToolPosixTest, MoverConElShell) {
    prueba::ArbolPrueba arbol;
    std::string f = (arbol.Temporal() / "a.txt").string();
    FileTool ft;
    EXPECT_FALSE(ft.SH_MoverArchivo(f, f + ".2"));
    // A folder as the target receives the item; a "\" path reaches the system as "/".
    prueba::EscribirArchivo(f, "x");
    fs::create_directories(arbol.Temporal() / "dentro");
    EXPECT_TRUE(ft.SH_MoverArchivo(f, arbol.Temporal().string() + "\\dentro"));
    EXPECT_EQ(prueba::LeerArchivo(arbol.Temporal() / "dentro" / "a.txt"), "x");
}

// Descriptors exhausted (RLIMIT_NOFILE): the log's write is skipped and its
// text stays pending. This test touches the process's limits directly.
TEST(clsFileLogPosixTest, SinManejadoresLibresElLogEspera) {
    prueba::ArbolPrueba arbol;
    clsFileLog log;
    log.AgregarLog("pendiente", true);
    rlimit antes{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &antes), 0);
    const rlimit bajo{64, antes.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &bajo), 0);
    std::vector<int> abiertos;
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        abiertos.push_back(fd);
    bool libre = platform::HayManejadorLibre();
    bool escrito = log.Escribir();
    for (int fd : abiertos)
        ::close(fd);
    ::setrlimit(RLIMIT_NOFILE, &antes);
    EXPECT_FALSE(libre);
    EXPECT_FALSE(escrito);
    EXPECT_FALSE(fs::exists(log.ArchivoDestino));
    EXPECT_TRUE(platform::HayManejadorLibre());
    EXPECT_TRUE(log.Escribir());
    EXPECT_TRUE(fs::exists(log.ArchivoDestino));
}

// Real Linux paths through the path rules: "/" separates and is kept.
TEST(FileToolPosixTest, RutasDeLinux) {
    FileTool ft;
    EXPECT_EQ(ft.Ruta_CalificarRuta("/home/u"), "/home/u/");
    EXPECT_EQ(ft.Ruta_CalificarRuta("/home/u/"), "/home/u/");
    EXPECT_EQ(ft.Ruta_CalificarRuta("C:\\a"), "C:\\a\\"); // a Windows-style text keeps its own
    EXPECT_EQ(ft.Ruta_CalificarRuta("/var/lib\\Olvado"), "/var/lib\\Olvado/");
    EXPECT_EQ(ft.Ruta_ExtraerRuta("/home/u/a.txt"), "/home/u/");
    EXPECT_EQ(ft.Ruta_ExtraerRuta("/var/lib/DB\\Olvado_Act.exe"), "/var/lib/DB\\");
    EXPECT_EQ(ft.Ruta_ObtenerNombreArchivo("/home/u/a.b.txt"), "a.b");
    EXPECT_EQ(ft.Ruta_ObtenerExtension("/home/u.d/a"), "");
    EXPECT_EQ(ft.Ruta_QuitarRaiz("/home/u"), "home/u");
    EXPECT_FALSE(ft.UNC_EsRutaUNCValida("//server/share"));
}
