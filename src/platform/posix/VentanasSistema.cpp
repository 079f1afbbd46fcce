// POSIX window walk: the X11 tree through the GUI module; without a display
// (or the module) the desktop has no windows.
#include "platform/VentanasSistema.h"
#include "platform/posix/ModuloGui.h"

namespace olvado::platform {
namespace {

// 255-character buffers, as GetWindowTextA and GetClassNameA are given:
// at most 254 characters come back.
std::string Cortar(const char* texto, int n) {
    std::string r(texto, size_t(n));
    size_t caracteres = 0;
    for (size_t i = 0; i < r.size(); ++i) {
        if ((static_cast<unsigned char>(r[i]) & 0xC0) != 0x80 && ++caracteres > 254)
            return r.substr(0, i);
    }
    return r;
}

class VentanasX11 : public IVentanasSistema {
public:
    Ventana Escritorio() override {
        const OlvadoGuiTabla* gui = ModuloGui();
        return gui ? gui->Raiz() : 0;
    }
    Ventana Relacionada(Ventana v, int32_t relacion) override {
        const OlvadoGuiTabla* gui = ModuloGui();
        if (!gui || !v)
            return 0;
        if (relacion == GW_CHILD)
            return gui->PrimerHijo(v);
        return relacion == GW_HWNDNEXT ? gui->Siguiente(v) : 0;
    }
    std::string Titulo(Ventana v) override { return Leer(v, true); }
    std::string Clase(Ventana v) override { return Leer(v, false); }

private:
    std::string Leer(Ventana v, bool titulo) {
        const OlvadoGuiTabla* gui = ModuloGui();
        if (!gui || !v)
            return {};
        char texto[1024];
        int n = titulo ? gui->Titulo(v, texto, sizeof texto) : gui->Clase(v, texto, sizeof texto);
        return Cortar(texto, n);
    }
};

} // namespace

IVentanasSistema& IVentanasSistema::DelSistema() {
    static VentanasX11 instancia;
    return instancia;
}

} // namespace olvado::platform
