// Win32 command lines: the only place where arguments are joined into one text.
#include "platform/win32/Lanzar.h"

namespace olvado::platform {

std::string CitarArgumento(const std::string& a) {
    if (!a.empty() && a.find_first_of(" \t\"") == std::string::npos)
        return a;
    std::string r = "\"";
    size_t barras = 0;
    for (char c : a) {
        if (c == '\\') {
            ++barras;
        } else if (c == '"') {
            // The backslashes before a quote are already in r once: double
            // them and escape the quote itself.
            r.append(barras + 1, '\\');
            barras = 0;
        } else {
            barras = 0;
        }
        r.push_back(c);
    }
    r.append(barras, '\\');
    r.push_back('"');
    return r;
}

std::string LineaArgumentos(const std::vector<std::string>& argumentos) {
    std::string linea;
    for (const auto& a : argumentos)
        linea += (linea.empty() ? "" : " ") + CitarArgumento(a);
    return linea;
}

} // namespace olvado::platform
