// POSIX only: the shell's path rules in our own code ("\" and "/" both separate).
#include "platform/Rutas.h"
#include "platform/posix/PosixComun.h"

#include <algorithm>

namespace olvado::platform {

bool EsSeparadorRuta(char c) { return c == '\\' || c == '/'; }

char SeparadorParaRuta(std::string_view ruta) {
    return ruta.find('/') != std::string_view::npos ? '/' : '\\';
}

namespace posix {

std::string RutaNativa(const std::string& ruta) {
    std::string r = ruta;
    std::replace(r.begin(), r.end(), '\\', '/');
    return r;
}

} // namespace posix

std::string RutaNombreArchivo(const std::string& ruta) {
    size_t inicio = 0;
    for (size_t i = 0; i + 1 < ruta.size(); ++i)
        if (EsSeparadorRuta(ruta[i]) && !EsSeparadorRuta(ruta[i + 1]))
            inicio = i + 1;
    return ruta.substr(inicio);
}

namespace {

// Position of the extension's dot, npos when none: the last dot after the
// last separator, unless a blank follows it (an extension has no blanks).
size_t PosicionExtension(const std::string& ruta) {
    size_t punto = std::string::npos;
    for (size_t i = 0; i < ruta.size(); ++i) {
        if (EsSeparadorRuta(ruta[i]) || ruta[i] == ' ')
            punto = std::string::npos;
        else if (ruta[i] == '.')
            punto = i;
    }
    return punto;
}

bool EmpiezaConDosBarras(const std::string& r) { return r.size() >= 2 && r[0] == '\\' && r[1] == '\\'; }
bool EmpiezaConUnidad(const std::string& r) { return r.size() >= 2 && r[1] == ':'; }

} // namespace

std::string RutaSinExtension(const std::string& ruta) {
    size_t p = PosicionExtension(ruta);
    return p == std::string::npos ? ruta : ruta.substr(0, p);
}

std::string RutaExtension(const std::string& ruta) {
    size_t p = PosicionExtension(ruta);
    return p == std::string::npos ? "" : ruta.substr(p);
}

std::string RutaRaiz(const std::string& ruta) {
    if (EmpiezaConDosBarras(ruta)) { // \\server\share
        size_t a = ruta.find('\\', 2);
        if (a == std::string::npos)
            return ruta;
        size_t b = ruta.find('\\', a + 1);
        return b == std::string::npos ? ruta : ruta.substr(0, b);
    }
    if (EmpiezaConUnidad(ruta))
        return ruta.size() >= 3 && ruta[2] == '\\' ? ruta.substr(0, 3) : ruta.substr(0, 2);
    if (!ruta.empty() && EsSeparadorRuta(ruta[0]))
        return ruta.substr(0, 1);
    return "";
}

std::string RutaTrasRaiz(const std::string& ruta, bool& hayRaiz) {
    hayRaiz = true;
    if (EmpiezaConDosBarras(ruta)) { // past the server and the share
        size_t a = ruta.find('\\', 2);
        size_t b = a == std::string::npos ? a : ruta.find('\\', a + 1);
        return b == std::string::npos ? "" : ruta.substr(b + 1);
    }
    if (ruta.size() >= 3 && ruta[1] == ':' && ruta[2] == '\\')
        return ruta.substr(3);
    if (!ruta.empty() && ruta[0] == '/') // a Linux absolute path
        return ruta.substr(1);
    hayRaiz = false;
    return "";
}

bool RutaEsUNC(const std::string& ruta) { return EmpiezaConDosBarras(ruta) && (ruta.size() < 3 || ruta[2] != '?'); }

namespace {
constexpr int32_t kPixelesPorCaracter = 8;
}

// As PathCompactPath: the beginning of the path, "...", the separator and the
// file name; when even "..." and the name do not fit, the name is cut and
// ends in "...".
std::string RutaCompactada(intptr_t, const std::string& ruta, int32_t pixeles) {
    size_t cabe = pixeles > 0 ? static_cast<size_t>(pixeles / kPixelesPorCaracter) : 0;
    if (ruta.size() <= cabe)
        return ruta;
    std::string nombre = RutaNombreArchivo(ruta);
    size_t inicioNombre = ruta.size() - nombre.size();
    if (inicioNombre > 0 && nombre.size() + 4 <= cabe) {
        size_t prefijo = std::min(inicioNombre - 1, cabe - nombre.size() - 4);
        return ruta.substr(0, prefijo) + "..." + ruta[inicioNombre - 1] + nombre;
    }
    if (cabe <= 3)
        return std::string(cabe, '.');
    return nombre.substr(0, cabe - 3) + "...";
}

double TwipsPorPixel() { return 15.0; }

} // namespace olvado::platform
