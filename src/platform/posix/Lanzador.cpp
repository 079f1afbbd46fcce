// POSIX launch: the shell routes (direct exec, wine, the document opener,
// pkexec; waitpid) here, the account routes in CuentaAjena.cpp.
#include "platform/Lanzador.h"

#include "platform/ArchivoSellado.h"
#include "platform/ErroresSistema.h"
#include "platform/posix/Lanzar.h"

namespace olvado::platform {
namespace {

// The document opener: what opens a document in the desktop's own program
// (xdg-open, which takes no arguments). An address (mailto:, http:) is no file
// and finds no type below; it would be handed here as it is.
std::vector<std::string> ArgumentosAbridor(const std::string& documento) {
    std::string abrir = IProgramasSistema::Actual().Ruta("xdg-open");
    return abrir.empty() ? std::vector<std::string>() : std::vector<std::string>{abrir, documento};
}

int32_t LanzarConShell(const PeticionLanzamiento& p) {
    const ArchivoSellado* sellado = p.paquete;
    int fd = sellado && sellado->Abierto() ? static_cast<int>(sellado->Nativo()) : -1;
    TipoArchivo tipo = TipoDeArchivo(p.archivo, fd);
    if (tipo == TipoArchivo::NoExiste)
        return kErrorArchivoNoEncontrado;
    if (tipo == TipoArchivo::Ejecutable)
        HacerEjecutable(p.archivo, fd, false);
    // The open descriptor, not the path: the bytes checked are the bytes that run.
    std::string programa = fd >= 0 ? "/proc/self/fd/" + std::to_string(fd) : p.archivo;
    auto argv = tipo == TipoArchivo::Documento ? ArgumentosAbridor(programa)
                                               : ArgumentosParaArchivo(tipo, programa, p.argumentos);
    if (argv.empty())
        return kErrorArchivoNoEncontrado;
    OpcionesLanzar op;
    op.heredado = fd;
    std::vector<std::string> entornoRoot;
    if (p.ruta == RutaLanzamiento::ShellElevado) {
        std::string pkexec = IProgramasSistema::Actual().Ruta("pkexec");
        if (pkexec.empty())
            return kErrorArchivoNoEncontrado;
        argv.insert(argv.begin(), pkexec);
        // pkexec starts it as root, who gets an environment of its own.
        entornoRoot = EntornoParaCuenta("root");
        op.entorno = &entornoRoot;
    }
    pid_t pid = -1;
    int32_t codigo = Lanzar(argv, op, pid);
    if (codigo == 0 && p.esperar)
        EsperarPid(pid);
    return codigo;
}

class LanzadorPosix final : public ILanzador {
public:
    int32_t Lanzar(const PeticionLanzamiento& p) override {
        if (p.ruta == RutaLanzamiento::Shell || p.ruta == RutaLanzamiento::ShellElevado)
            return LanzarConShell(p);
        return LanzarComoCuenta(p);
    }
};

} // namespace

ILanzador& ILanzador::DelSistema() {
    static LanzadorPosix l;
    return l;
}

} // namespace olvado::platform
