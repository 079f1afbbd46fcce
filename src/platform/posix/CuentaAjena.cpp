// POSIX run as another account: su -l in a pseudo-terminal, answering its prompt.
#include "platform/ArchivoSellado.h"
#include "platform/ErroresSistema.h"
#include "platform/RutasLanzamiento.h"
#include "platform/posix/Lanzar.h"
#include "platform/posix/RasgosManejadores.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace olvado::platform {
namespace {

// Numbers the wrapper sees: the start report, our output and error, the sealed file.
constexpr int kAviso = 3, kSalida = 4, kError = 5, kSellado = 6;

std::string Citar(const std::string& s) {
    std::string r = "'";
    for (char c : s)
        r += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return r + "'";
}

// Run by the account's shell: checks what the Windows call would refuse,
// reports the start on descriptor 3, then becomes the program.
std::string Envoltorio(const std::vector<std::string>& argv, const std::string& archivo,
                       const std::string& carpeta) {
    std::string a = Citar(archivo), s;
    s += "cd " + Citar(carpeta) + " 2>/dev/null || { printf 267 >&3; exit 1; }; ";
    s += "[ -e " + a + " ] || { printf 2 >&3; exit 1; }; ";
    s += "[ -f " + a + " ] && [ -r " + a + " ] && [ -x " + Citar(argv[0]) +
         " ] || { printf 5 >&3; exit 1; }; ";
    s += "printf 0 >&3; exec";
    for (const auto& x : argv)
        s += " " + Citar(x);
    return s + " 3>&- 0</dev/null 1>&4 2>&5 4>&- 5>&-";
}

// What EsperarAviso answers when no report came: su ended without one
// (authentication refused, no such account), su asked a second question (the
// account must choose a new password first: nobody is there to answer), or
// nothing came in time.
constexpr int32_t kSinAviso = -1, kOtraPregunta = -2, kSinRespuesta = -3;
constexpr auto kEsperaAviso = std::chrono::seconds(60);

// Talks to su until the wrapper reports: answers the password prompt (any
// output ending in ": ") once and keeps the terminal drained. A later prompt
// counts once su has been quiet after it for a while: its own messages
// ("su: ...") arrive in pieces.
int32_t EsperarAviso(int maestro, int aviso, const std::string& contrasena) {
    using Reloj = std::chrono::steady_clock;
    const auto limite = Reloj::now() + kEsperaAviso;
    auto pregunta = Reloj::time_point::max(); // when an unanswered prompt counts
    std::string salida;
    bool respondido = false;
    pollfd p[2] = {{aviso, POLLIN, 0}, {maestro, POLLIN, 0}};
    for (;;) {
        const auto ahora = Reloj::now();
        if (ahora >= pregunta)
            return kOtraPregunta;
        if (ahora >= limite)
            return kSinRespuesta;
        auto resta =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::min(limite, pregunta) - ahora);
        int listos = ::poll(p, 2, static_cast<int>(resta.count()) + 1);
        if (listos < 0 && errno != EINTR)
            return kSinAviso;
        if (listos <= 0)
            continue;
        if (p[0].revents) {
            char buf[16];
            ssize_t n = ::read(aviso, buf, sizeof buf);
            return n > 0 ? std::atoi(std::string(buf, static_cast<size_t>(n)).c_str()) : kSinAviso;
        }
        if (!p[1].revents)
            continue;
        char buf[256];
        ssize_t n = ::read(maestro, buf, sizeof buf);
        if (n <= 0) {
            p[1].fd = -1; // su closed the terminal: the report (or EOF) decides
            continue;
        }
        salida.append(buf, static_cast<size_t>(n));
        pregunta = Reloj::time_point::max();
        if (salida.size() < 2 || salida.compare(salida.size() - 2, 2, ": ") != 0)
            continue;
        if (respondido) {
            pregunta = Reloj::now() + std::chrono::milliseconds(500);
            continue;
        }
        std::string linea = contrasena + "\n";
        (void)!::write(maestro, linea.data(), linea.size());
        respondido = true;
        salida.clear();
    }
}

// Ends su and whatever it started in its session (su leads it), waiting a
// bounded time: a su the kernel will not let us signal is left, not waited for.
void Terminar(pid_t pid) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    for (int i = 0; i < 250; ++i) {
        pid_t r = ::waitpid(pid, nullptr, WNOHANG);
        if (r == pid || (r < 0 && errno != EINTR))
            return;
        ::usleep(20000);
    }
}

} // namespace

// Both account routes are su: the domain has no meaning here.
int32_t LanzarComoCuenta(const PeticionLanzamiento& p) {
    if (p.archivo.empty())
        return kErrorArchivoNoEncontrado;
    const std::string su = IProgramasSistema::Actual().Ruta("su");
    if (su.empty())
        return kErrorArchivoNoEncontrado;
    // No folder: the program's own, not the caller's current one (unless the
    // program's path is relative to it).
    std::string dir = p.carpeta;
    if (dir.empty() && !p.archivo.empty() && p.archivo[0] == '/') {
        dir = p.archivo.substr(0, p.archivo.rfind('/') + 1);
    } else if (dir.empty()) {
        char actual[PATH_MAX];
        dir = ::getcwd(actual, sizeof actual) ? actual : "/";
    }
    int fd = p.paquete && p.paquete->Abierto() ? static_cast<int>(p.paquete->Nativo()) : -1;
    // The sealed file is the account's descriptor 6, not the path.
    std::string archivo = fd >= 0 ? "/proc/self/fd/" + std::to_string(kSellado) : p.archivo;
    TipoArchivo tipo = TipoDeArchivo(p.archivo, fd);
    if (tipo == TipoArchivo::NoExiste || tipo == TipoArchivo::Documento)
        tipo = TipoArchivo::Ejecutable; // the account's own checks give the answer
    else
        HacerEjecutable(p.archivo, fd, true);
    auto argv = ArgumentosParaArchivo(tipo, archivo, p.argumentos);
    if (argv.empty())
        return kErrorArchivoNoEncontrado;

    int m = -1, e = -1, t[2];
    if (::openpty(&m, &e, nullptr, nullptr, nullptr) != 0)
        return kErrorGeneral;
    ScopedFd maestro(m), esclavo(e);
    ::fcntl(m, F_SETFD, FD_CLOEXEC);
    ::fcntl(e, F_SETFD, FD_CLOEXEC);
    if (::pipe2(t, O_CLOEXEC) != 0)
        return kErrorGeneral;
    ScopedFd lectura(t[0]), escritura(t[1]);
    // Our output and error reach the program only when they are a terminal.
    ScopedFd nulo(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    if (!nulo)
        return kErrorGeneral;
    OpcionesLanzar op;
    op.terminal = e;
    // su -c starts the program in a session of its own: closing our end of
    // the terminal does not reach it, and it needs no SIGHUP ignored.
    op.asentado = true;
    op.destinos = {
        {t[1], kAviso}, {::isatty(1) ? 1 : nulo.Get(), kSalida}, {::isatty(2) ? 2 : nulo.Get(), kError}};
    if (fd >= 0)
        op.destinos.push_back({fd, kSellado});
    // su itself runs as root: it gets no LD_* or other planted variable of ours.
    const auto entorno = EntornoParaCuenta(p.usuario);
    op.entorno = &entorno;
    pid_t pid = -1;
    int32_t codigo = Lanzar({su, "-l", p.usuario, "-c", Envoltorio(argv, archivo, dir)}, op, pid);
    if (codigo != 0)
        return codigo;
    escritura.Reset();
    esclavo.Reset();
    codigo = EsperarAviso(m, t[0], p.contrasena);
    if (codigo == kOtraPregunta || codigo == kSinRespuesta) {
        Terminar(pid);
        return codigo == kOtraPregunta ? kErrorContrasenaCaducada : kErrorTiempoAgotado;
    }
    if (codigo < 0)
        codigo = kErrorInicioSesion;
    if (codigo != 0 || p.esperar)
        EsperarPid(pid);
    return codigo;
}

} // namespace olvado::platform
