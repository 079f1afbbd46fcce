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
// account's HOME (none when it does not exist), TERM=dumb (it is given no
// terminal of ours to drive), and of ours only where the display and the
// language are. Nothing else of ours (LD_*, ODBC*, IFS, ...). su -l keeps
// only TERM of it; pkexec keeps the language and TERM, and the display only
// for an action that allows it.
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
    bool asentado = false;                     // starts from a known state (below), not ours
    const std::vector<std::string>* entorno = nullptr; // "NAME=value" each; none: ours
};

// A child that runs as another account or as root (through su or pkexec)
// starts asentado: umask 022; every signal at its default action and none
// blocked; nice 0; only 0, 1, 2 open (each /dev/null where ours is not a
// terminal) besides destinos and heredado; and each resource limit at pid 1's
// (/proc/1/limits, the limits every login descends from; the open-file soft
// limit at most 1024, what logins get whatever pid 1 keeps for itself). The
// child is still ours when this is done, so it can only lower a hard limit or
// raise its nice value: a caller that lowered a hard limit below that soft
// limit (CPU, file size, data, stack, address space, open files, processes)
// or raised its nice value has made the start impossible, and it is refused
// (1314) rather than made in a state the caller chose. Root restores all.
// Unreadable pid 1 limits also refuse.

// Starts argv[0] (a full path). 0 with the child's pid, or the Windows code
// of the failure: 267 for a bad folder, 1314 for a state that cannot be made
// known, else the exec's errno translated.
int32_t Lanzar(const std::vector<std::string>& argv, const OpcionesLanzar& op, pid_t& pid);
// Waits for the child without limit; its exit status (128 + signal), -1 on failure.
int EsperarPid(pid_t pid);

} // namespace olvado::platform
