// POSIX shell launch: direct exec, wine, xdg-open, pkexec, mail links to
// xdg-email; waitpid.
#include "platform/Shell.h"

#include "base/Texto.h"
#include "platform/ArchivoSellado.h"
#include "platform/posix/Lanzar.h"

#include <unistd.h>

namespace olvado::platform {
namespace {

// Verbs other than "runas" and the show state have no meaning here.
bool LanzarArchivo(const std::string& archivo, const std::string& parametros, bool esperar, bool elevado,
                   const ArchivoSellado* sellado) {
    int fd = sellado && sellado->Abierto() ? static_cast<int>(sellado->Nativo()) : -1;
    TipoArchivo tipo = TipoDeArchivo(archivo, fd);
    if (tipo == TipoArchivo::NoExiste)
        return false;
    if (tipo == TipoArchivo::Ejecutable)
        HacerEjecutable(archivo, fd, false);
    // The open descriptor, not the path: the bytes checked are the bytes that run.
    std::string programa = fd >= 0 ? "/proc/self/fd/" + std::to_string(fd) : archivo;
    auto argv = ArgumentosParaArchivo(tipo, programa, PartirLineaComandos(parametros));
    if (argv.empty())
        return false;
    if (elevado) {
        std::string pkexec = ProgramaInstalado("pkexec");
        if (pkexec.empty())
            return false;
        argv.insert(argv.begin(), pkexec);
    }
    OpcionesLanzar op;
    op.heredado = fd;
    pid_t pid = -1;
    if (Lanzar(argv, op, pid) != 0)
        return false;
    if (esperar)
        EsperarPid(pid);
    return true;
}

// A mail link is no file: the desktop's mail handler takes it, through
// xdg-email, else xdg-open, named by absolute path. True once started, as
// ShellExecute answers; the handler's own wait is not ours.
bool AbrirEnlaceCorreo(const std::string& enlace) {
    for (const char* programa : {"/usr/bin/xdg-email", "/usr/bin/xdg-open"}) {
        if (::access(programa, X_OK) != 0)
            continue;
        pid_t pid = -1;
        return Lanzar({programa, enlace}, OpcionesLanzar{}, pid) == 0;
    }
    return false;
}

class ShellPosix final : public IShell {
public:
    bool Ejecutar(const PeticionShell& p) override {
        // xdg-email knows the scheme in lower case only.
        if (LCase(Left(p.archivo, 7)) == "mailto:")
            return AbrirEnlaceCorreo("mailto:" + p.archivo.substr(7));
        return LanzarArchivo(p.archivo, p.parametros, p.esperar, p.verbo == "runas", p.sellado);
    }
};

} // namespace

IShell& IShell::DelSistema() {
    static ShellPosix s;
    return s;
}

} // namespace olvado::platform
