// POSIX console text: UTF-8 arguments and streams, passed through.
#include "platform/Consola.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace olvado::platform {

std::vector<std::string> ArgumentosPrograma(int argc, char** argv) {
    if (argv)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    // Inside another program (the update library): the process's own.
    std::ifstream f("/proc/self/cmdline", std::ios::binary);
    std::vector<std::string> r;
    for (std::string a; std::getline(f, a, '\0');)
        r.push_back(a);
    if (!r.empty())
        r.erase(r.begin());
    return r;
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
