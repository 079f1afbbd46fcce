// Where the package goes, on Linux: what another user may have put at its
// path, and a disk that fills halfway.
#include "database/ado/Connection.h"
#include "database/clsDB.h"
#include "support/ArbolPrueba.h"
#include "support/ErrorVisto.h"
#include "support/MotoresPrueba.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
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
