// POSIX console text: UTF-8 arguments and streams, passed through.
#include "platform/Consola.h"

#include <cstdio>
#include <unistd.h>

namespace olvado::platform {

std::vector<std::string> ArgumentosPrograma(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void EscribirSalida(std::string_view texto) {
    std::fwrite(texto.data(), 1, texto.size(), stdout);
    std::fflush(stdout);
}

void EscribirError(std::string_view texto) {
    std::fwrite(texto.data(), 1, texto.size(), stderr);
    std::fflush(stderr);
}

std::string DesdeConsola(std::string_view bytes) { return std::string(bytes); }

bool EntradaEsTerminal() { return isatty(STDIN_FILENO) == 1; }

} // namespace olvado::platform
