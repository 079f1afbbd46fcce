// POSIX window walk: the X11 tree through the GUI module; without a display
// (or the module) the desktop has no windows.
#include "platform/VentanasSistema.h"
#include "platform/posix/ModuloGui.h"

#include "base/Texto.h"

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

// A window that Wine hosts carries its program's file name in WM_CLASS
// ("ventana.exe"), and no X property holds its Win32 class. It answers the
// class its program is known by: Internet Explorer's frame, Word's main
// window, Wine's input-method windows ("Default IME", class "IME"), and for
// any other program the family's forms, since on Linux the family's programs
// run only under Wine: the title then decides, as the search table's rows do.
std::string ClaseBajoWine(const std::string& claseX11, const std::string& titulo) {
    const std::string programa = LCase(claseX11);
    if (!programa.ends_with(".exe"))
        return claseX11;
    if (titulo == "Default IME")
        return "IME";
    if (programa == "iexplore.exe")
        return "IEFrame";
    return programa == "winword.exe" ? "OpusApp" : "ThunderRT6FormDC";
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
    std::string Clase(Ventana v) override { return ClaseBajoWine(Leer(v, false), Leer(v, true)); }

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
