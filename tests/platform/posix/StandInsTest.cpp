// The Linux stand-ins of the file layer: special-folder locations, the
// temporary-name rule, the flock convention, the shell's move, FIFOs in
// place of files, a question with no one to answer it and where the GUI
// module is looked for.
#include "common/FileTool.h"
#include "common/clsFileLog.h"
#include "database/ConfigConexion.h"
#include "database/ado/Connection.h"
#include "platform/ArchivoNativo.h"
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
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

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
// user-dirs.dirs that is not root's (root's own home instead); the driver
// manager reads the system's configuration, not the one ODBCSYSINI names.
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

    // The user's odbcinst.ini names the system's SQLite driver by a library of its own.
    prueba::EscribirArchivo(ajena / "odbcinst.ini",
                            "[SQLite3]\nDriver=" + ajena.string() + "/libplantada.so\n");
    platform::EstablecerVariableEntorno("ODBCSYSINI", ajena.string());
    ado::Connection cnx;
    EXPECT_NO_THROW(cnx.Open("Driver=SQLite3;Database=" + (arbol.Raiz() / "x.db").string()));
    EXPECT_EQ(platform::LeerVariableEntorno("ODBCSYSINI"), "");
    platform::EstablecerVariableEntorno("ODBCSYSINI", "");
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
    FileTool ft;
    EXPECT_FALSE(ft.SH_MoverArchivo(f, f + ".2"));
    // A folder as the target receives the item; a "\" path reaches the system as "/".
    prueba::EscribirArchivo(f, "x");
    fs::create_directories(arbol.Temporal() / "dentro");
    EXPECT_TRUE(ft.SH_MoverArchivo(f, arbol.Temporal().string() + "\\dentro"));
    EXPECT_EQ(prueba::LeerArchivo(arbol.Temporal() / "dentro" / "a.txt"), "x");
}

// The connection store chooses every workstation's database: under umask
// 000 it is still 0644 in 0755 folders, a rewrite keeps a stricter mode and
// takes the others' write right away, and a link in its place is refused.
TEST(StandInsTest, AlmacenDeConexionesSinEscrituraAjenaConUmaskCero) {
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

// Descriptors exhausted (RLIMIT_NOFILE): the log's write is skipped and its
// text stays pending. This test touches the process's limits directly.
TEST(StandInsTest, SinManejadoresLibresElLogEspera) {
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
TEST(StandInsTest, RutasDeLinux) {
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
    fin = true;
    liberador.join();
    EXPECT_FALSE(liberado);
    EXPECT_TRUE(fs::is_fifo(fifo));
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
