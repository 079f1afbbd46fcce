// POSIX only: what the shell launch and the run-as stand-in share: the
// Windows command-line rules, how a file is started by its first bytes, and a
// fork/exec that reports an exec failure as a Windows error code.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>
#include <sys/types.h>

namespace olvado::platform {

// A command line cut into arguments the way CommandLineToArgvW reads it
// (blanks separate, double quotes group, backslashes escape only quotes).
std::vector<std::string> PartirLineaComandos(const std::string& linea);

// The full path of a program found in $PATH, "" when it is not installed.
std::string ProgramaInstalado(const std::string& nombre);

enum class TipoArchivo { NoExiste, Ejecutable, Windows, Documento };

// By its first bytes: "#!" or the ELF magic is Ejecutable, "MZ" Windows.
// fd >= 0 reads the open file instead of the path. A path that is neither a
// plain file nor a folder (a FIFO, a device) is NoExiste.
TipoArchivo TipoDeArchivo(const std::string& ruta, int fd);

// Sets the execute bit for the owner (and, with paraTodos, for everyone who
// may read the file) when missing; through fd when it is >= 0.
void HacerEjecutable(const std::string& ruta, int fd, bool paraTodos);

// The argument vector that starts the file: itself for Ejecutable, through
// wine for Windows, through xdg-open (which takes no arguments) for
// Documento; programa is what is executed (the file's path, or
// /proc/self/fd/N for a sealed file). Empty when the needed helper is missing.
std::vector<std::string> ArgumentosParaArchivo(TipoArchivo tipo, const std::string& programa,
                                               const std::vector<std::string>& argumentos);

struct OpcionesLanzar {
    std::string carpeta;                       // "" keeps ours
    std::vector<std::pair<int, int>> destinos; // dup2(origen, destino) in the child
    int heredado = -1;                         // stays open in the child at its own number
    int terminal = -1;                         // becomes the controlling terminal and 0, 1, 2
    bool ignorarHup = false;                   // SIGHUP ignored from the child on
};

// Starts argv[0] (a full path). 0 with the child's pid, or the Windows code
// of the failure: 267 for a bad folder, else the exec's errno translated.
int32_t Lanzar(const std::vector<std::string>& argv, const OpcionesLanzar& op, pid_t& pid);
// Waits for the child without limit; its exit status (128 + signal), -1 on failure.
int EsperarPid(pid_t pid);

} // namespace olvado::platform
