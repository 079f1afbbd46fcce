// The Linux stand-ins of the file layer: special-folder locations, the
// temporary-name rule, the flock convention, the shell's move, FIFOs in
// place of files, a question with no one to answer it and where the GUI
// module is looked for.
#include "platform/ArchivoNativo.h"
#include "platform/ArchivoSellado.h"
#include "platform/ArchivosTemporales.h"
#include "platform/CarpetasEspeciales.h"
#include "platform/Entorno.h"
#include "platform/ErroresSistema.h"
#include "platform/MessageBox.h"
#include "platform/ProcesoHijo.h"
#include "platform/RecursoVersion.h"
#include "platform/SistemaArchivos.h"
#include "platform/XmlDocument.h"
#include "platform/posix/ModuloGui.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace olvado;
namespace fs = std::filesystem;

TEST(StandInsTest, CarpetasEspecialesYTemporales) {
    prueba::ArbolPrueba arbol;
    std::string raiz = arbol.Raiz().string(), home = arbol.Home().string();
    EXPECT_EQ(platform::RutaEspecial(0, 5), home + "/Documents");
    EXPECT_EQ(platform::RutaEspecial(0, 26), home + "/.local/share");
    EXPECT_EQ(platform::RutaEspecial(0, 35), raiz + "/var/lib");
    EXPECT_EQ(platform::RutaEspecial(0, 37), raiz + "/usr/bin");
    EXPECT_EQ(platform::RutaEspecial(0, 38), raiz + "/opt");
    EXPECT_EQ(platform::RutaEspecial(0, 36), "");

    fs::create_directories(arbol.Home() / ".config");
    prueba::EscribirArchivo(arbol.Home() / ".config/user-dirs.dirs",
                            "# comentario\nXDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n"
                            "XDG_DOCUMENTS_DIR=\"$HOME/Mis documentos\"\n");
    EXPECT_EQ(platform::RutaEspecial(0, 5), home + "/Mis documentos");
    platform::EstablecerVariableEntorno("XDG_DOCUMENTS_DIR", home + "/docs/");
    platform::EstablecerVariableEntorno("XDG_DATA_HOME", home + "/datos");
    EXPECT_EQ(platform::RutaEspecial(0, 5), home + "/docs");
    EXPECT_EQ(platform::RutaEspecial(0, 26), home + "/datos");
    platform::EstablecerVariableEntorno("XDG_DOCUMENTS_DIR", home);
    EXPECT_EQ(platform::RutaEspecial(0, 5), home + "/Documents"); // $HOME itself means "not set"

    platform::EstablecerVariableEntorno("OLVADO_ROOT", "");
    EXPECT_EQ(platform::RutaEspecial(0, 35), "/var/lib");
    platform::EstablecerVariableEntorno("OLVADO_ROOT", raiz + "/");
    EXPECT_EQ(platform::RutaEspecial(0, 38), raiz + "/opt");

    // The temporary folder and the exclusive temporary name.
    EXPECT_EQ(platform::CarpetaTemporal(), arbol.Temporal().string() + "/");
    platform::EstablecerVariableEntorno("TMPDIR", "");
    EXPECT_EQ(platform::CarpetaTemporal(), "/tmp/");

    std::string carpeta = arbol.Temporal().string(), a, b;
    ASSERT_TRUE(platform::CrearArchivoTemporal(carpeta, "ñandú", a));
    ASSERT_TRUE(platform::CrearArchivoTemporal(carpeta + "/", "x", b));
    EXPECT_EQ(fs::path(a).parent_path(), arbol.Temporal());
    EXPECT_EQ(fs::path(a).filename().string().substr(0, 4), "ñan"); // three characters, not bytes
    EXPECT_EQ(fs::path(a).filename().string().size(), 4u + 4 + 4);
    EXPECT_EQ(fs::path(b).filename().string().size(), 1u + 4 + 4);
    EXPECT_FALSE(platform::CrearArchivoTemporal(carpeta + "/falta", "x", b));
}

// Root with a user's environment kept (sudo -E): the run log's folder is
// never another account's, nor reached through a link or through a
// user-dirs.dirs that is not root's (root's own home instead).
TEST(StandInsTest, UnaCorridaPrivilegiadaNoTomaNadaDelEntornoDeOtro) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "hacen falta privilegios de root";
    prueba::ArbolPrueba arbol;
    const std::string home = arbol.Home().string(),
                      propio = ::getpwuid(0)->pw_dir + std::string("/Documents");
    const fs::path ajena = arbol.Raiz() / "ajena", dirs = arbol.Home() / ".config/user-dirs.dirs";
    fs::create_directories(ajena);
    fs::create_directories(dirs.parent_path());
    ASSERT_EQ(::chown(ajena.c_str(), 65534, 65534), 0);
    auto dirsA = [&](const std::string& destino, uid_t dueno) {
        prueba::EscribirArchivo(dirs, "XDG_DOCUMENTS_DIR=\"" + destino + "\"\n");
        ASSERT_EQ(::chown(dirs.c_str(), dueno, dueno), 0);
    };
    dirsA(ajena.string(), 0); // root's file, another account's folder
    EXPECT_EQ(platform::RutaEspecial(0, 5), home + "/Documents");
    dirsA("$HOME/Raiz", 65534); // another account's file
    EXPECT_EQ(platform::RutaEspecial(0, 5), home + "/Documents");
    fs::remove(dirs);
    platform::EstablecerVariableEntorno("XDG_DOCUMENTS_DIR", (ajena / "sub").string());
    EXPECT_EQ(platform::RutaEspecial(0, 5), home + "/Documents");
    platform::EstablecerVariableEntorno("XDG_DOCUMENTS_DIR", "");
    fs::remove(arbol.Documentos());
    fs::create_directory_symlink(arbol.Raiz() / "var", arbol.Documentos()); // root's folder, through a link
    EXPECT_EQ(platform::RutaEspecial(0, 5), propio);
    fs::remove(arbol.Documentos());
    ASSERT_EQ(::chown(home.c_str(), 65534, 65534), 0); // the user's own home
    EXPECT_EQ(platform::RutaEspecial(0, 5), propio);
}

TEST(StandInsTest, ConvencionDeBloqueoYMovimiento) {
    prueba::ArbolPrueba arbol;
    std::string f = (arbol.Temporal() / "a.txt").string();
    prueba::EscribirArchivo(f, "antes");
    platform::ArchivoNativo escritor;
    ASSERT_TRUE(escritor.Abrir(f, platform::ArchivoNativo::Modo::EscribirDesdeInicio));
    // A second writer is refused before it changes anything.
    platform::ArchivoNativo otro;
    EXPECT_FALSE(otro.Abrir(f, platform::ArchivoNativo::Modo::Crear));
    EXPECT_EQ(otro.UltimoError(), platform::kErrorArchivoEnUso);
    EXPECT_FALSE(platform::BorrarArchivo(f));
    EXPECT_EQ(prueba::LeerArchivo(f), "antes");
    // Readers take no lock.
    platform::ArchivoNativo lector;
    EXPECT_TRUE(lector.Abrir(f, platform::ArchivoNativo::Modo::Leer));
    escritor.Cerrar();
    EXPECT_TRUE(platform::BorrarArchivo(f));

    bool abortado = true;
    EXPECT_EQ(platform::MoverConShell(f, f + ".2", abortado), platform::kErrorArchivoNoEncontrado);
    EXPECT_FALSE(abortado);
}

// A FIFO named like the package, the store or the program: every open by
// name in the updater's road refuses it at once. Should one block, a writer
// frees it after three seconds, and the results tell.
TEST(StandInsTest, NadaAbiertoPorNombreEsperaAUnaFifo) {
    prueba::ArbolPrueba arbol;
    const fs::path fifo = arbol.Raiz() / "Olvado_Act.exe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    std::atomic<bool> fin{false}, liberado{false};
    std::thread liberador([&] {
        for (int i = 0, fd; !fin; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10)))
            if (i > 300 && (fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) >= 0)
                liberado = true, ::close(fd);
    });
    EXPECT_FALSE(platform::BorrarArchivo(fifo.string()));
    EXPECT_FALSE(platform::ArchivoAbiertoPorOtro(fifo.string()));
    EXPECT_FALSE(platform::XmlDocument().Load(fifo.string()));
    EXPECT_FALSE(platform::RecursoVersion().Cargar(fifo.string()));
    EXPECT_FALSE(platform::ArchivoSellado().Crear(fifo.string()));
    fin = true;
    liberador.join();
    EXPECT_FALSE(liberado);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// A link at the package's name, even one to nothing, takes the name: the
// package is never created through it.
TEST(StandInsTest, PaqueteNuncaSeCreaPorUnEnlace) {
    prueba::ArbolPrueba arbol;
    const fs::path enlace = arbol.Raiz() / "Olvado_Act.exe";
    fs::create_symlink(arbol.Raiz() / "falta", enlace);
    EXPECT_FALSE(platform::ArchivoSellado().Crear(enlace.string()));
    EXPECT_TRUE(fs::is_symlink(enlace));
    EXPECT_FALSE(fs::exists(arbol.Raiz() / "falta"));
}

// No display: a box that asks answers Cancel (no one said yes).
TEST(StandInsTest, SinPantallaUnaPreguntaRespondeNo) {
    if (!platform::LeerVariableEntorno("DISPLAY").empty())
        GTEST_SKIP() << "the system's boxes would show on the display";
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(platform::IMessageBox::DelSistema().Mostrar("texto", platform::vbOKOnly, "T"), platform::vbOK);
    EXPECT_EQ(platform::IMessageBox::DelSistema().Mostrar("¿ya?", platform::vbOKCancel, "P"), platform::vbCancel);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "T\ntexto\n\nP\n¿ya?\n\n");
}

// A host that named itself by a relative path and then changed folder finds
// no GUI module planted in the new one.
TEST(StandInsTest, ModuloGuiPlantadoTrasCambiarDeCarpeta) {
    // The child moves, then names a display that does not answer: the real
    // module, if found, gives up.
    if (prueba::RolHijo() == "gui")
        // _exit: only the status counts; the toolkit's allocations at a
        // display that does not answer are not this test's (nor LSan's) to judge.
        ::_exit(::chdir(std::getenv("OLVADO_TEST_CARPETA")) || ::setenv("DISPLAY", ":97", 1) ||
                platform::ModuloGui());
    prueba::ArbolPrueba arbol;
    fs::copy_file(OLVADO_MODULO_PLANTADO, arbol.Temporal() / "libolvado-gui.so");
    auto args = prueba::ArgumentosHijo("StandInsTest.ModuloGuiPlantadoTrasCambiarDeCarpeta");
    const fs::path yo = args[0];
    args[0] = "./" + yo.filename().string(); // run from its folder, by a relative name
    platform::ProcesoHijo hijo;
    ASSERT_TRUE(hijo.Iniciar(args, {{"OLVADO_TEST_ROL", "gui"}, {"OLVADO_TEST_CARPETA", arbol.Temporal().string()}},
                             yo.parent_path().string()));
    EXPECT_EQ(hijo.Esperar(), 0); // 99: the planted module ran
}
