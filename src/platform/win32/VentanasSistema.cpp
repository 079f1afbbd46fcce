// Win32 window walk: user32's own functions with 255-character buffers.
#include "platform/VentanasSistema.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {
namespace {

HWND Manejador(Ventana v) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(v)); }
Ventana DeManejador(HWND h) { return static_cast<Ventana>(reinterpret_cast<uintptr_t>(h)); }

class VentanasWin32 : public IVentanasSistema {
public:
    Ventana Escritorio() override { return DeManejador(GetDesktopWindow()); }
    Ventana Relacionada(Ventana v, int32_t relacion) override {
        return DeManejador(GetWindow(Manejador(v), static_cast<UINT>(relacion)));
    }
    std::string Titulo(Ventana v) override {
        char texto[255];
        int n = GetWindowTextA(Manejador(v), texto, 255);
        return DesdeAnsi(std::string_view(texto, n > 0 ? size_t(n) : 0));
    }
    std::string Clase(Ventana v) override {
        char texto[255];
        int n = GetClassNameA(Manejador(v), texto, 255);
        return DesdeAnsi(std::string_view(texto, n > 0 ? size_t(n) : 0));
    }
};

} // namespace

IVentanasSistema& IVentanasSistema::DelSistema() {
    static VentanasWin32 instancia;
    return instancia;
}

} // namespace olvado::platform
