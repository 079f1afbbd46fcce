// POSIX run as another account: su -l in a pseudo-terminal, answering its prompt.
#include "platform/CuentaAjena.h"

#include "platform/ArchivoSellado.h"
#include "platform/ErroresSistema.h"
#include "platform/posix/Lanzar.h"
#include "platform/posix/RasgosManejadores.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
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
    std::string a = Citar(archivo), s = "trap '' HUP; ";
    s += "cd " + Citar(carpeta) + " 2>/dev/null || { printf 267 >&3; exit 1; }; ";
    s += "[ -e " + a + " ] || { printf 2 >&3; exit 1; }; ";
    s += "[ -f " + a + " ] && [ -r " + a + " ] && [ -x " + Citar(argv[0]) + " ] || { printf 5 >&3; exit 1; }; ";
    s += "printf 0 >&3; exec";
    for (const auto& x : argv)
        s += " " + Citar(x);
    return s + " 3>&- 0</dev/null 1>&4 2>&5 4>&- 5>&-";
}

// Talks to su until the wrapper reports: answers the password prompt (any
// output ending in ": "), keeps the terminal drained. -1 when su ended
// without a report (authentication refused, no such account).
int32_t EsperarAviso(int maestro, int aviso, const std::string& contrasena) {
    std::string salida;
    bool respondido = false;
    for (;;) {
        pollfd p[2] = {{aviso, POLLIN, 0}, {maestro, POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (p[0].revents) {
            char buf[16];
            ssize_t n = ::read(aviso, buf, sizeof buf);
            return n > 0 ? std::atoi(std::string(buf, static_cast<size_t>(n)).c_str()) : -1;
        }
        if (p[1].revents) {
            char buf[256];
            ssize_t n = ::read(maestro, buf, sizeof buf);
            if (n <= 0)
                p[1].fd = -1; // su closed the terminal: the report (or EOF) decides
            else
                salida.append(buf, static_cast<size_t>(n));
            if (!respondido && salida.size() >= 2 && salida.compare(salida.size() - 2, 2, ": ") == 0) {
                std::string linea = contrasena + "\n";
                (void)!::write(maestro, linea.data(), linea.size());
                respondido = true;
            }
            if (n <= 0) {
                // Only the report pipe is left to wait for.
                pollfd q{aviso, POLLIN, 0};
                while (::poll(&q, 1, -1) < 0 && errno == EINTR) {
                }
                char b[16];
                ssize_t m = ::read(aviso, b, sizeof b);
                return m > 0 ? std::atoi(std::string(b, static_cast<size_t>(m)).c_str()) : -1;
            }
        }
    }
}

int32_t EjecutarConSu(const std::string& usuario, const std::string& contrasena, const std::string& lineaComandos,
                      const std::string& carpeta, bool esperar, const ArchivoSellado* sellado) {
    auto args = PartirLineaComandos(lineaComandos);
    if (args.empty())
        return kErrorArchivoNoEncontrado;
    std::string su = ProgramaInstalado("su");
    if (su.empty())
        su = "/bin/su";
    std::string dir = carpeta;
    if (dir.empty()) {
        char actual[PATH_MAX];
        dir = ::getcwd(actual, sizeof actual) ? actual : "/";
    }
    int fd = sellado && sellado->Abierto() ? static_cast<int>(sellado->Nativo()) : -1;
    // The sealed file is the account's descriptor 6, not the path.
    std::string archivo = fd >= 0 ? "/proc/self/fd/" + std::to_string(kSellado) : args[0];
    TipoArchivo tipo = TipoDeArchivo(args[0], fd);
    if (tipo == TipoArchivo::NoExiste || tipo == TipoArchivo::Documento)
        tipo = TipoArchivo::Ejecutable; // the account's own checks give the answer
    else
        HacerEjecutable(args[0], fd, true);
    auto argv = ArgumentosParaArchivo(tipo, archivo, std::vector<std::string>(args.begin() + 1, args.end()));
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
    OpcionesLanzar op;
    op.terminal = e;
    op.ignorarHup = true; // the program outlives our end of the terminal
    op.destinos = {{t[1], kAviso}, {1, kSalida}, {2, kError}};
    if (fd >= 0)
        op.destinos.push_back({fd, kSellado});
    pid_t pid = -1;
    int32_t codigo = Lanzar({su, "-l", usuario, "-c", Envoltorio(argv, archivo, dir)}, op, pid);
    if (codigo != 0)
        return codigo;
    escritura.Reset();
    esclavo.Reset();
    codigo = EsperarAviso(m, t[0], contrasena);
    if (codigo < 0)
        codigo = kErrorInicioSesion;
    if (codigo != 0 || esperar)
        EsperarPid(pid);
    return codigo;
}

} // namespace

int32_t EjecutarConLogonW(const std::string& usuario, const std::string& contrasena, const std::string& /*dominio*/,
                          const std::string& lineaComandos, const std::string& carpeta, bool esperar,
                          const ArchivoSellado* sellado) {
    return EjecutarConSu(usuario, contrasena, lineaComandos, carpeta, esperar, sellado);
}

int32_t EjecutarConLogonUser(const std::string& usuario, const std::string& contrasena,
                             const std::string& /*dominio*/, const std::string& lineaComandos,
                             const std::string& carpeta, bool esperar, const ArchivoSellado* sellado) {
    return EjecutarConSu(usuario, contrasena, lineaComandos, carpeta, esperar, sellado);
}

} // namespace olvado::platform
