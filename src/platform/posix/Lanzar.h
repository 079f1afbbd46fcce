// POSIX only: what the launch routes share: the helpers of the system, the
// environment of a child that runs as another account, how a file is started
// by its first bytes, and a fork/exec that reports an exec failure as a
// Windows error code.
#pragma once

#include "base/Servicio.h"
#include "platform/Lanzador.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>
#include <sys/types.h>

namespace olvado::platform {

// The folders the helpers (su, wine, pkexec, xdg-open) come from, and the
// PATH that a child running as another account gets: the system's own, never
// the caller's $PATH, whose entries (and an empty one, the current folder)
// anyone may have chosen.
inline constexpr const char* kPathSistema = "/usr/sbin:/usr/bin:/sbin:/bin";

class IProgramasSistema : public Servicio<IProgramasSistema> {
public:
    static IProgramasSistema& DelSistema();
    virtual ~IProgramasSistema() = default;
    // The helper's absolute path in kPathSistema, "" when the system lacks it.
    virtual std::string Ruta(const std::string& nombre) = 0;
};

// The environment of a child that runs as usuario: kPathSistema, that
// account's HOME (none when it does not exist), and of ours only where the
// display and the language are. Nothing else of ours (LD_*, ODBC*, IFS, ...).
std::vector<std::string> EntornoParaCuenta(const std::string& usuario);

enum class TipoArchivo { NoExiste, Ejecutable, Windows, Documento };

// By its first bytes: "#!" or the ELF magic is Ejecutable, "MZ" Windows.
// fd >= 0 reads the open file instead of the path. A path that is neither a
// plain file nor a folder (a FIFO, a device) is NoExiste.
TipoArchivo TipoDeArchivo(const std::string& ruta, int fd);

// Sets the execute bit for the owner (and, with paraTodos, for everyone who
// may read the file) when missing; through fd when it is >= 0.
void HacerEjecutable(const std::string& ruta, int fd, bool paraTodos);

// The argument vector that starts a program: itself for Ejecutable, through
// wine for Windows; programa is what is executed (the file's path, or
// /proc/self/fd/N for a sealed file). Empty for a document, or when wine is
// missing.
std::vector<std::string> ArgumentosParaArchivo(TipoArchivo tipo, const std::string& programa,
                                               const std::vector<std::string>& argumentos);

struct OpcionesLanzar {
    std::string carpeta;                       // "" keeps ours
    std::vector<std::pair<int, int>> destinos; // dup2(origen, destino) in the child
    int heredado = -1;                         // stays open in the child at its own number
    int terminal = -1;                         // becomes the controlling terminal and 0, 1, 2
    bool ignorarHup = false;                   // SIGHUP ignored from the child on
    const std::vector<std::string>* entorno = nullptr; // "NAME=value" each; none: ours
};

// Starts argv[0] (a full path). 0 with the child's pid, or the Windows code
// of the failure: 267 for a bad folder, else the exec's errno translated.
int32_t Lanzar(const std::vector<std::string>& argv, const OpcionesLanzar& op, pid_t& pid);
// Waits for the child without limit; its exit status (128 + signal), -1 on failure.
int EsperarPid(pid_t pid);

} // namespace olvado::platform
