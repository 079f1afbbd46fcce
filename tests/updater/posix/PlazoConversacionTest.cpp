// A MariaDB server whose reply to one piece comes a byte a second, through a
// small proxy between the driver and the tests' server: the run's deadline,
// or a SIGTERM, ends the run inside the driver's read within the watchdog's
// grace, with the interrupted line and no part of the package.
#include "platform/ProcesoHijo.h"
#include "platform/TextoAnsi.h"
#include "support/ActualizadorPrueba.h"
#include "support/AlmacenPrueba.h"
#include "support/DocumentosPrueba.h"
#include "support/MotoresPrueba.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace olvado;
namespace fs = std::filesystem;
using Reloj = std::chrono::steady_clock;

namespace {

int Zocalo(const std::string& ruta, bool escuchar) {
    int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    ruta.copy(a.sun_path, sizeof a.sun_path - 1);
    const auto* p = reinterpret_cast<const sockaddr*>(&a);
    if (escuchar ? ::bind(s, p, sizeof a) != 0 || ::listen(s, 8) != 0 : ::connect(s, p, sizeof a) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

bool EnviarTodo(int s, const char* p, size_t n) {
    for (ssize_t k; n > 0; p += k, n -= static_cast<size_t>(k))
        if ((k = ::send(s, p, n, MSG_NOSIGNAL)) <= 0)
            return false;
    return true;
}

// Forwards the client's bytes at once; once the client has sent `marca`, the
// server's reply comes one byte a second.
class ProxyLento {
public:
    ProxyLento(std::string destino, std::string marca, const fs::path& carpeta)
        : destino_(std::move(destino)), marca_(std::move(marca)), ruta_((carpeta / "lento.sock").string()) {
        escucha_ = Zocalo(ruta_, true);
        aceptar_ = std::thread([this] {
            while (!parar_) {
                pollfd p{escucha_, POLLIN, 0};
                if (::poll(&p, 1, 100) == 1)
                    if (int c = ::accept(escucha_, nullptr, nullptr); c >= 0)
                        hilos_.emplace_back([this, c] { Conexion(c); });
            }
        });
    }
    ~ProxyLento() {
        parar_ = true;
        aceptar_.join();
        for (auto& h : hilos_)
            h.join();
        ::close(escucha_);
    }
    const std::string& Ruta() const { return ruta_; }

private:
    void Conexion(int c) {
        const int s = Zocalo(destino_, false);
        std::string visto, pendiente;
        bool lento = false;
        auto ultimo = Reloj::now();
        char b[65536];
        while (!parar_ && s >= 0) {
            pollfd p[2] = {{c, POLLIN, 0}, {s, POLLIN, 0}};
            ::poll(p, 2, 100);
            ssize_t n = 0;
            if (p[0].revents && ((n = ::read(c, b, sizeof b)) <= 0 || !EnviarTodo(s, b, static_cast<size_t>(n))))
                break;
            if (n > 0 && !lento) {
                visto = visto.substr(visto.size() > marca_.size() ? visto.size() - marca_.size() : 0) +
                        std::string(b, static_cast<size_t>(n));
                lento = visto.find(marca_) != std::string::npos;
            }
            if (p[1].revents) {
                if ((n = ::read(s, b, sizeof b)) <= 0)
                    break;
                pendiente.append(b, static_cast<size_t>(n));
            }
            const size_t dar = !lento ? pendiente.size()
                               : (!pendiente.empty() && Reloj::now() - ultimo >= std::chrono::seconds(1)) ? 1 : 0;
            if (dar > 0) {
                if (!EnviarTodo(c, pendiente.data(), dar))
                    break;
                pendiente.erase(0, dar);
                ultimo = Reloj::now();
            }
        }
        ::close(c);
        if (s >= 0)
            ::close(s);
    }

    std::string destino_, marca_, ruta_;
    int escucha_ = -1;
    std::atomic<bool> parar_{false};
    std::thread aceptar_;
    std::vector<std::thread> hilos_;
};

} // namespace

TEST(PlazoConversacionTest, UnServidorQueGoteaNoRetieneLaCorrida) {
    if (prueba::SocketMariaDB().empty())
        GTEST_SKIP() << "no MariaDB server for the tests";
    prueba::ArbolPrueba arbol;
    const prueba::MotorPrueba motor = prueba::MotoresPrueba().back();
    ASSERT_EQ(motor.nombre, "MariaDB");
    prueba::CrearTablas(motor);
    // Three pieces of zeros: the first arrives whole, the second's reply trickles.
    const std::string ceros(3 << 20, '\0');
    prueba::PublicarPaquete(motor.cadena, "1.0.70", "x", prueba::Md5Cifrado(ceros));
    prueba::EjecutarSql(motor.cadena, "UPDATE BinariosAct SET Binario = NULL");
    prueba::EjecutarSql(motor.cadena, "CREATE TABLE BinariosActTrozos (Producto VARCHAR(50), Major INT, Minor INT, "
                                      "Revision INT, Trozo INT, MD5Hash VARCHAR(255), Datos LONGBLOB)");
    for (int i = 0; i < 3; ++i)
        prueba::EjecutarSql(motor.cadena, "INSERT INTO BinariosActTrozos SELECT Producto, Major, Minor, Revision, " +
                                              std::to_string(i) + ", MD5Hash, REPEAT(X'00', 1048576) FROM BinariosAct");
    ProxyLento proxy(prueba::SocketMariaDB(), "AND Trozo = 1", arbol.Temporal());
    std::string cadena = motor.cadena;
    cadena.replace(cadena.find(prueba::SocketMariaDB()), prueba::SocketMariaDB().size(), proxy.Ruta());
    prueba::AlmacenPrueba almacen;
    almacen.Escribir({{"1", "prueba", cadena, motor.catalogo, "1"}});
    prueba::InstalarPrograma("1.0.66");
    const fs::path paquete = fs::u8path(prueba::CarpetaPaquete() + "Olvado_Act.exe");
    fs::create_directories(paquete.parent_path());
    const fs::path log = fs::u8path(prueba::RutaLogActualizador());

    // Round 0: the deadline (6 s here) passes in the trickle; round 1: SIGTERM in it.
    for (const int senal : {SIGALRM, SIGTERM}) {
        std::error_code ec;
        fs::remove(log, ec);
        auto entorno = arbol.Entorno();
        if (senal == SIGALRM)
            entorno.push_back({"OLVADO_PLAZO_BASE_DATOS", "6"});
        const auto inicio = Reloj::now();
        platform::ProcesoHijo hijo;
        ASSERT_TRUE(hijo.Iniciar({OLVADO_UPDATER_BIN}, entorno));
        // The first piece on disk, then a second in the trickle.
        uintmax_t visto = 0;
        while (visto < (1u << 20) && hijo.EnEjecucion() && Reloj::now() - inicio < std::chrono::seconds(30)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            visto = std::max(visto, fs::exists(paquete, ec) ? fs::file_size(paquete, ec) : 0);
        }
        EXPECT_EQ(visto, 1u << 20);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        auto desde = inicio;
        if (senal == SIGTERM) {
            desde = Reloj::now();
            ::kill(static_cast<pid_t>(hijo.Id()), SIGTERM);
        }
        const int codigo = hijo.Esperar();
        const auto duracion = Reloj::now() - desde;
        EXPECT_EQ(codigo, 128 + senal);
        // The deadline, or the signal, plus the grace, the cancel's and the log's time.
        EXPECT_LT(duracion, std::chrono::seconds(senal == SIGALRM ? 6 + 5 + 3 : 5 + 3));
        EXPECT_FALSE(fs::exists(paquete));
        const auto t = prueba::TextosDelLog(DesdeAnsi(prueba::LeerArchivo(log)));
        EXPECT_TRUE(std::count(t.begin(), t.end(), "Version Olvado Actual: 1.0.66")) << ::testing::PrintToString(t);
        EXPECT_EQ(t.empty() ? "" : t.back(), "Ejecucion interrumpida por la senal " + std::to_string(senal));
    }
    prueba::EjecutarSql(motor.cadena, "DROP TABLE BinariosActTrozos");
    prueba::QuitarInstalacion();
}
