// Where the package goes, on Linux: what another user may have put at its
// path, a disk that fills halfway, and a termination signal mid-write.
#include "database/ado/Connection.h"
#include "database/clsDB.h"
#include "support/ActualizadorPrueba.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/DocumentosPrueba.h"
#include "support/ErrorVisto.h"
#include "support/MotoresPrueba.h"
#include "platform/ProcesoHijo.h"
#include "platform/TextoAnsi.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace olvado;
namespace fs = std::filesystem;

namespace {
struct OrigenFijo : IOrigenConexion {
    std::string cadena;
    bool ObtenerDatosConexion(std::string& n, std::string& c, std::string& k, bool& o) override {
        n = "prueba", c = cadena, k = "", o = true;
        return true;
    }
};
} // namespace

TEST(PaquetePosixTest, NiEnlaceNiFifoNiArchivoAMedias) {
    prueba::ArbolPrueba arbol;
    OrigenFijo origen;
    origen.cadena = prueba::MotoresPrueba().front().cadena;
    clsDB db(nullptr, &origen);
    ASSERT_TRUE(db.AbrirDB(false, false));
    auto escribir = [&](const fs::path& ruta, int bytes) {
        std::unique_ptr<ado::Recordset> rs;
        std::string nombre = ruta.string();
        int32_t n = -1;
        bool escrito = false;
        prueba::ErrorDe([&] {
            escrito =
                db.AbrirRs(rs, "SELECT zeroblob(" + std::to_string(bytes) + ") AS B", 3, 3, -1, true, n) &&
                db.BLOB_a_Archivo(rs->Fields("B"), nombre);
        });
        return escrito;
    };
    const fs::path t = arbol.Temporal();
    fs::create_symlink(t / "destino", t / "Olvado_Act.exe");
    EXPECT_FALSE(escribir(t / "Olvado_Act.exe", 100));
    EXPECT_FALSE(fs::exists(t / "destino"));

    ASSERT_EQ(::mkfifo((t / "fifo").c_str(), 0666), 0);
    int lector = ::open((t / "fifo").c_str(), O_RDONLY | O_NONBLOCK); // nobody blocks on it either way
    EXPECT_FALSE(escribir(t / "fifo", 100));
    char b[200];
    EXPECT_LE(::read(lector, b, sizeof b), 0);
    ::close(lector);

    // A file size limit fails the write halfway, as a full disk does.
    rlimit antes{};
    ::getrlimit(RLIMIT_FSIZE, &antes);
    const rlimit limite{16384, antes.rlim_max};
    auto senal = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limite);
    bool lleno = escribir(t / "Olvado_Act.exe.2", 100000);
    ::setrlimit(RLIMIT_FSIZE, &antes);
    std::signal(SIGXFSZ, senal);
    EXPECT_FALSE(lleno);
    EXPECT_FALSE(fs::exists(t / "Olvado_Act.exe.2"));
    EXPECT_TRUE(escribir(t / "Olvado_Act.exe.2", 100000));
    EXPECT_EQ(fs::file_size(t / "Olvado_Act.exe.2"), 100000u);
}

// SIGTERM, SIGINT or SIGHUP while the built updater writes the package (held
// still mid-write with SIGSTOP), from Binario or from its pieces: no package
// stays, the run log holds the run's entries, and the updater ends with the
// signal; the fleet's history still gets the run's row, "error".
TEST(PaquetePosixTest, UnaSenalDuranteLaEscrituraNoDejaPaqueteYSiElRegistro) {
    prueba::ArbolPrueba arbol;
    prueba::AlmacenPrueba almacen;
    const prueba::MotorPrueba motor = prueba::MotoresPrueba().front(); // the SQLite file
    prueba::CrearTablas(motor);
    almacen.Escribir({{"1", "prueba", motor.cadena, motor.catalogo, "1"}});
    const std::string bytes(64 << 20, 'x');
    prueba::PublicarPaquete(motor.cadena, "1.0.70", bytes, prueba::Md5Cifrado(bytes));
    prueba::EjecutarSql(motor.cadena, "DROP TABLE IF EXISTS HistorialAct");
    prueba::EjecutarSql(motor.cadena, "CREATE TABLE HistorialAct (Estacion TEXT NOT NULL, Usuario TEXT, Producto TEXT "
                                      "NOT NULL, Major INTEGER, Minor INTEGER, Revision INTEGER, Resultado TEXT NOT "
                                      "NULL, Fecha TEXT NOT NULL)");
    prueba::InstalarPrograma("1.0.66");
    const fs::path paquete = fs::u8path(prueba::CarpetaPaquete() + "Olvado_Act.exe");
    fs::create_directories(paquete.parent_path());
    const fs::path log = fs::u8path(prueba::RutaLogActualizador());
    const int senales[] = {SIGTERM, SIGINT, SIGHUP, SIGTERM};
    for (size_t vuelta = 0; vuelta < std::size(senales); ++vuelta) {
        const int senal = senales[vuelta];
        if (vuelta == 3) { // the last round: 64 MiB of zeros, in pieces only, whose digest verifies
            prueba::EjecutarSql(motor.cadena, "UPDATE BinariosAct SET Binario = NULL, MD5Hash = '" +
                                                  prueba::Md5Cifrado(std::string(64 << 20, '\0')) + "'");
            prueba::EjecutarSql(motor.cadena, "CREATE TABLE BinariosActTrozos (Producto TEXT, Major INT, Minor INT, "
                                              "Revision INT, Trozo INT, MD5Hash TEXT, Datos BLOB)");
            prueba::EjecutarSql(motor.cadena,
                                "INSERT INTO BinariosActTrozos WITH RECURSIVE t(n) AS (SELECT 0 UNION ALL SELECT "
                                "n + 1 FROM t WHERE n < 63) SELECT Producto, Major, Minor, Revision, n, MD5Hash, "
                                "zeroblob(1048576) FROM t, BinariosAct");
        }
        std::error_code ec;
        fs::remove(log, ec);
        platform::ProcesoHijo hijo;
        ASSERT_TRUE(hijo.Iniciar({OLVADO_UPDATER_BIN}, arbol.Entorno()));
        // The package is written into the child's memory file and reaches its
        // path only whole: how far the write is shows in that file's size.
        const auto tamano = [&]() -> uintmax_t {
            const fs::path fds = "/proc/" + std::to_string(hijo.Id()) + "/fd";
            for (const auto& fd : fs::directory_iterator(fds, ec)) {
                std::error_code e;
                if (fs::read_symlink(fd.path(), e).string().rfind("/memfd:Olvado_Act.exe", 0) == 0) {
                    const uintmax_t n = fs::file_size(fd.path(), e);
                    return e ? 0 : n;
                }
            }
            ec.clear();
            return 0;
        };
        for (int i = 0; i < 600000 && tamano() == 0 && hijo.EnEjecucion(); ++i)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        ::kill(static_cast<pid_t>(hijo.Id()), SIGSTOP);
        const uintmax_t escrito = tamano();
        ::kill(static_cast<pid_t>(hijo.Id()), senal);
        ::kill(static_cast<pid_t>(hijo.Id()), SIGCONT);
        ASSERT_TRUE(!ec && escrito > 0 && escrito < bytes.size()) << "not caught mid-write: " << escrito;
        EXPECT_EQ(hijo.Esperar(), 128 + senal);
        EXPECT_FALSE(fs::exists(paquete));
        const auto t = prueba::TextosDelLog(DesdeAnsi(prueba::LeerArchivo(log)));
        EXPECT_TRUE(std::count(t.begin(), t.end(), "Version Olvado Actual: 1.0.66")) << ::testing::PrintToString(t);
        EXPECT_EQ(t.empty() ? "" : t.back(), "Ejecucion interrumpida por la senal " + std::to_string(senal));
        std::string filas;
        for (size_t i = 0; i <= vuelta; ++i)
            filas += "1|0|66|error\n";
        EXPECT_EQ(prueba::Filas(motor.cadena, "SELECT Major, Minor, Revision, Resultado FROM HistorialAct"), filas);
    }
    prueba::QuitarInstalacion();
}
