// Win32 console text: wide command line, ANSI code page on the streams.
#include "platform/Consola.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <cstdio>
#include <windows.h>
#include <shellapi.h>

namespace olvado::platform {

std::vector<std::string> ArgumentosPrograma(int, char**) {
    std::vector<std::string> args;
    int n = 0;
    LPWSTR* lista = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!lista)
        return args;
    for (int i = 1; i < n; ++i) {
        const std::wstring a(lista[i]);
        args.push_back(DesdeUtf16(std::u16string(a.begin(), a.end())));
    }
    LocalFree(lista);
    return args;
}

void EscribirSalida(std::string_view texto) {
    const std::string ansi = AAnsi(texto);
    std::fwrite(ansi.data(), 1, ansi.size(), stdout);
    std::fflush(stdout);
}

void EscribirError(std::string_view texto) {
    const std::string ansi = AAnsi(texto);
    std::fwrite(ansi.data(), 1, ansi.size(), stderr);
    std::fflush(stderr);
}

std::string DesdeConsola(std::string_view bytes) { return DesdeAnsi(bytes); }

bool EntradaEsTerminal() {
    DWORD modo = 0;
    HANDLE h = GetStdHandle(STD_INPUT_HANDLE);
    return h != INVALID_HANDLE_VALUE && h != nullptr && GetConsoleMode(h, &modo) != 0;
}

} // namespace olvado::platform
