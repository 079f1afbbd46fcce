// Win32 only: the shell's path functions (shlwapi), ANSI forms.
#include "platform/Rutas.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/RasgosManejadores.h"

#include <algorithm>
#include <vector>
#include <windows.h>
#include <shlwapi.h>

namespace olvado::platform {
namespace {

// The path as an ANSI buffer of at least MAX_PATH characters, as the shell's
// in-place functions expect.
std::vector<char> Buffer(const std::string& ruta) {
    std::string a = AAnsi(ruta);
    std::vector<char> b(std::max<size_t>(MAX_PATH, a.size() + 1), '\0');
    std::copy(a.begin(), a.end(), b.begin());
    return b;
}

// Cut at the first NUL, back from the ANSI code page.
std::string Texto(const char* p) { return DesdeAnsi(p ? std::string(p) : std::string()); }

} // namespace

bool EsSeparadorRuta(char c) { return c == '\\'; }
char SeparadorParaRuta(std::string_view) { return '\\'; }

std::string RutaNombreArchivo(const std::string& ruta) {
    auto b = Buffer(ruta);
    return Texto(PathFindFileNameA(b.data()));
}

std::string RutaSinExtension(const std::string& ruta) {
    auto b = Buffer(ruta);
    PathRemoveExtensionA(b.data());
    return Texto(b.data());
}

std::string RutaExtension(const std::string& ruta) {
    auto b = Buffer(ruta);
    return Texto(PathFindExtensionA(b.data()));
}

std::string RutaRaiz(const std::string& ruta) {
    auto b = Buffer(ruta);
    PathStripToRootA(b.data());
    return Texto(b.data());
}

std::string RutaTrasRaiz(const std::string& ruta, bool& hayRaiz) {
    auto b = Buffer(ruta);
    const char* resto = PathSkipRootA(b.data());
    hayRaiz = resto != nullptr;
    return Texto(resto);
}

bool RutaEsUNC(const std::string& ruta) {
    auto b = Buffer(ruta);
    return PathIsUNCA(b.data()) != FALSE;
}

std::string RutaCompactada(intptr_t hdc, const std::string& ruta, int32_t pixeles) {
    auto b = Buffer(ruta);
    PathCompactPathA(reinterpret_cast<HDC>(hdc), b.data(), static_cast<UINT>(std::max(pixeles, 0)));
    return Texto(b.data());
}

double TwipsPorPixel() {
    ScopedHandle<PantallaDCTraits> dc(GetDC(nullptr));
    int ppp = dc ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : 0;
    return ppp > 0 ? 1440.0 / ppp : 15.0;
}

} // namespace olvado::platform
