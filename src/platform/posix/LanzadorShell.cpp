// POSIX shell routes: direct exec, wine, the document opener, mail links to
// xdg-email (its answer waited for, bounded), pkexec; waitpid (the account routes are in CuentaAjena.cpp).
#include "platform/RutasLanzamiento.h"

#include "base/Texto.h"
#include "platform/ArchivoSellado.h"
#include "platform/ErroresSistema.h"
#include "platform/posix/Lanzar.h"

#include <chrono>
#include <sys/wait.h>
#include <thread>

namespace olvado::platform {
namespace {

// The document opener: the desktop's own program for a document (xdg-open,
// which takes no arguments) or, for a mail link, its mail handler (xdg-email,
// else xdg-open).
std::vector<std::string> ArgumentosAbridor(const std::string& documento, bool correo) {
    for (const char* nombre : {correo ? "xdg-email" : "xdg-open", "xdg-open"}) {
        std::string abrir = IProgramasSistema::Actual().Ruta(nombre);
        if (!abrir.empty())
            return {abrir, documento};
    }
    return {};
}

// xdg-email answers at once when the desktop has no mail program ("no
// method available", status 3); a handler it runs itself may stay open for
// the whole session. Still running after this long: the mail program is up.
constexpr auto kEsperaCorreo = std::chrono::seconds(10);

// The mail link as the shell answers it: 0 when the handler took it (or is
// still at it by the deadline), 1155 (no program for mail links) when
// xdg-email ended with a failure.
int32_t AbrirCorreo(const std::string& enlace) {
    auto argv = ArgumentosAbridor(enlace, true);
    if (argv.empty())
        return kErrorArchivoNoEncontrado;
    pid_t pid = -1;
    if (int32_t codigo = Lanzar(argv, OpcionesLanzar{}, pid))
        return codigo;
    const auto limite = std::chrono::steady_clock::now() + kEsperaCorreo;
    int estado = 0;
    pid_t r;
    while ((r = ::waitpid(pid, &estado, WNOHANG)) == 0 && std::chrono::steady_clock::now() < limite)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (r == 0)
        return kErrorCorrecto;
    return r == pid && WIFEXITED(estado) && WEXITSTATUS(estado) == 0 ? kErrorCorrecto : kErrorSinAsociacion;
}

} // namespace

int32_t LanzarConShell(const PeticionLanzamiento& p) {
    // A mail link is no file: xdg-email knows the scheme in lower case only.
    if (LCase(Left(p.archivo, 7)) == "mailto:")
        return AbrirCorreo("mailto:" + p.archivo.substr(7));
    const ArchivoSellado* sellado = p.paquete;
    int fd = sellado && sellado->Abierto() ? static_cast<int>(sellado->Nativo()) : -1;
    TipoArchivo tipo = TipoDeArchivo(p.archivo, fd);
    if (tipo == TipoArchivo::NoExiste)
        return kErrorArchivoNoEncontrado;
    if (tipo == TipoArchivo::Ejecutable)
        HacerEjecutable(p.archivo, fd, false);
    // The open descriptor, not the path: the bytes checked are the bytes that run.
    std::string programa = fd >= 0 ? "/proc/self/fd/" + std::to_string(fd) : p.archivo;
    auto argv = tipo == TipoArchivo::Documento ? ArgumentosAbridor(programa, false)
                                               : ArgumentosParaArchivo(tipo, programa, p.argumentos);
    if (argv.empty())
        return kErrorArchivoNoEncontrado;
    OpcionesLanzar op;
    op.heredado = fd;
    // In the request's folder, else the file's own: not wherever the caller
    // stood (a relative path keeps the caller's, where it means something).
    op.carpeta = !p.carpeta.empty() || Left(p.archivo, 1) != "/"
                     ? p.carpeta
                     : p.archivo.substr(0, p.archivo.rfind('/') + 1);
    std::vector<std::string> entornoRoot;
    if (p.ruta == RutaLanzamiento::ShellElevado) {
        std::string pkexec = IProgramasSistema::Actual().Ruta("pkexec");
        if (pkexec.empty())
            return kErrorArchivoNoEncontrado;
        argv.insert(argv.begin(), pkexec);
        // pkexec starts it as root, who gets an environment and a process
        // state of its own. pkexec itself then moves to root's home folder
        // (unless given --keep-cwd, which older ones refuse as a program name).
        entornoRoot = EntornoParaCuenta("root");
        op.entorno = &entornoRoot;
        op.asentado = true;
    }
    pid_t pid = -1;
    int32_t codigo = Lanzar(argv, op, pid);
    if (codigo == 0 && p.esperar)
        EsperarPid(pid);
    return codigo;
}

} // namespace olvado::platform
