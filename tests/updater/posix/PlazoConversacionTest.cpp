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
    sockaddr_un a{AF_UNIX, {}};
    ruta.copy(a.sun_path, sizeof a.sun_path - 1);
    const auto* p = reinterpret_cast<const sockaddr*>(&a);
    return (escuchar ? ::bind(s, p, sizeof a) == 0 && ::listen(s, 8) == 0 : ::connect(s, p, sizeof a) == 0) ? s : -1;
}

// Between the driver and the server: the client's bytes go at once; once the
// client has sent `marca`, the server's reply goes one byte a second.
struct ProxyLento {
    ProxyLento(const std::string& destino, const std::string& marca, const std::string& ruta) : ruta(ruta) {
        const int escucha = Zocalo(ruta, true);
        aceptar = std::thread([this, escucha, destino, marca] {
            for (pollfd p{escucha, POLLIN, 0}; !parar;)
                if (::poll(&p, 1, 100) == 1)
                    hilos.emplace_back(&ProxyLento::Conexion, this, ::accept(escucha, nullptr, nullptr),
                                       Zocalo(destino, false), marca);
            ::close(escucha);
        });
    }
    ~ProxyLento() {
        parar = true;
        aceptar.join();
        for (auto& h : hilos)
            h.join();
    }
    void Conexion(int c, int s, std::string marca) {
        std::string visto, pendiente;
        auto ultimo = Reloj::now();
        char b[65536];
        for (bool vivo = s >= 0; vivo && !parar;) {
            pollfd p[2] = {{c, POLLIN, 0}, {s, POLLIN, 0}};
            ::poll(p, 2, 100);
            ssize_t n = 0;
            if (p[0].revents) {
                vivo = (n = ::read(c, b, sizeof b)) > 0 && ::send(s, b, size_t(n), MSG_NOSIGNAL) == n;
                if (vivo && visto.find(marca) == std::string::npos)
                    visto = visto.substr(visto.size() - std::min(visto.size(), marca.size())) + std::string(b, size_t(n));
            }
            if (vivo && p[1].revents && (vivo = (n = ::read(s, b, sizeof b)) > 0))
                pendiente.append(b, size_t(n));
            const bool lento = visto.find(marca) != std::string::npos;
            goteando = goteando || lento;
            if (vivo && !pendiente.empty() && (!lento || Reloj::now() - ultimo >= std::chrono::seconds(1))) {
                vivo = (n = ::send(c, pendiente.data(), lento ? 1 : pendiente.size(), MSG_NOSIGNAL)) > 0;
                pendiente.erase(0, size_t(std::max<ssize_t>(n, 0)));
                ultimo = Reloj::now();
            }
        }
        ::close(c);
        ::close(s);
    }
    std::string ruta;
    std::atomic<bool> parar{false}, goteando{false};
    std::thread aceptar;
    std::vector<std::thread> hilos;
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
    prueba::EjecutarSql(motor.cadena, "CREATE TABLE BinariosActTrozos SELECT Producto, Major, Minor, Revision, "
                                      "Seq AS Trozo, MD5Hash, REPEAT(X'00', 1048576) AS Datos FROM BinariosAct, seq_0_to_2");
    ProxyLento proxy(prueba::SocketMariaDB(), "AND Trozo = 1", (arbol.Temporal() / "lento.sock").string());
    std::string cadena = motor.cadena;
    cadena.replace(cadena.find(prueba::SocketMariaDB()), prueba::SocketMariaDB().size(), proxy.ruta);
    prueba::AlmacenPrueba almacen;
    almacen.Escribir({{"1", "prueba", cadena, motor.catalogo, "1"}});
    prueba::InstalarPrograma("1.0.66");
    const fs::path paquete = fs::u8path(prueba::CarpetaPaquete() + "Olvado_Act.exe");
    fs::create_directories(paquete.parent_path());
    const fs::path log = fs::u8path(prueba::RutaLogActualizador());

    // Round 0: the deadline (6 s here) passes in the trickle; round 1: SIGTERM in it.
    for (const int senal : {SIGALRM, SIGTERM}) {
        proxy.goteando = false;
        std::error_code ec;
        fs::remove(log, ec);
        auto entorno = arbol.Entorno();
        if (senal == SIGALRM)
            entorno.push_back({"OLVADO_PLAZO_BASE_DATOS", "6"});
        const auto inicio = Reloj::now();
        platform::ProcesoHijo hijo;
        ASSERT_TRUE(hijo.Iniciar({OLVADO_UPDATER_BIN}, entorno));
        // The first piece written, the second's reply in the trickle.
        while (!proxy.goteando && hijo.EnEjecucion() && Reloj::now() - inicio < std::chrono::seconds(30))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_TRUE(proxy.goteando);
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const auto desde = senal == SIGTERM ? Reloj::now() : inicio;
        if (senal == SIGTERM)
            ::kill(static_cast<pid_t>(hijo.Id()), SIGTERM);
        while (hijo.EnEjecucion() && Reloj::now() - desde < std::chrono::seconds(30))
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto duracion = Reloj::now() - desde;
        ::kill(static_cast<pid_t>(hijo.Id()), SIGKILL); // one still held has failed already
        const int codigo = hijo.Esperar();
        EXPECT_EQ(codigo, 128 + senal);
        // The deadline, or the signal, plus the grace, the cancel's and the log's time.
        EXPECT_LT(duracion, std::chrono::seconds(senal == SIGALRM ? 6 + 5 + 3 : 5 + 3));
        EXPECT_FALSE(fs::exists(paquete));
        const auto t = prueba::TextosDelLog(DesdeAnsi(prueba::LeerArchivo(log)));
        EXPECT_EQ(t.empty() ? "" : t.back(), "Ejecucion interrumpida por la senal " + std::to_string(senal));
    }
    prueba::EjecutarSql(motor.cadena, "DROP TABLE BinariosActTrozos");
    prueba::QuitarInstalacion();
}
