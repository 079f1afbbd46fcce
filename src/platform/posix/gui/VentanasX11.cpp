// The X11 window tree as the window search walks it: from the root down,
// children from the top of the stacking order, titles from _NET_WM_NAME or
// else WM_NAME, the class part of WM_CLASS. A window that goes away during
// the walk answers no children, no title and no class; its X errors are
// trapped, not fatal.
#include "platform/posix/gui/Widgets.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstring>
#include <string>
#include <vector>

namespace olvado_gui {
namespace {

Display* Pantalla() { return gdk_x11_display_get_xdisplay(gdk_display_get_default()); }

struct Trampa {
    Trampa() { gdk_x11_display_error_trap_push(gdk_display_get_default()); }
    ~Trampa() { gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default()); }
};

// Children bottom first, as XQueryTree gives them; parent of the window.
std::vector<Window> Hijos(Window w, Window* padre = nullptr) {
    Trampa t;
    Window raiz = 0, p = 0, *hijos = nullptr;
    unsigned n = 0;
    std::vector<Window> r;
    if (XQueryTree(Pantalla(), w, &raiz, &p, &hijos, &n)) {
        r.assign(hijos, hijos + n);
        if (padre)
            *padre = p;
    }
    if (hijos)
        XFree(hijos);
    return r;
}

std::string Latin1AUtf8(const unsigned char* p, size_t n) {
    std::string r;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] < 0x80) {
            r += char(p[i]);
        } else {
            r += char(0xC0 | (p[i] >> 6));
            r += char(0x80 | (p[i] & 0x3F));
        }
    }
    return r;
}

std::string NombreVentana(Window w) {
    Trampa t;
    Display* d = Pantalla();
    Atom tipo = 0;
    int formato = 0;
    unsigned long n = 0, resto = 0;
    unsigned char* datos = nullptr;
    std::string r;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 4096, False, AnyPropertyType, &tipo,
                           &formato, &n, &resto, &datos) == Success &&
        datos && formato == 8 && n > 0) {
        // UTF8_STRING as defined; some tools store it as STRING (Latin-1).
        if (tipo == XA_STRING)
            r = Latin1AUtf8(datos, n);
        else
            r.assign(reinterpret_cast<char*>(datos), n);
        XFree(datos);
        return r;
    }
    if (datos)
        XFree(datos);
    XTextProperty prop{};
    if (!XGetWMName(d, w, &prop) || !prop.value)
        return r;
    if (prop.encoding == XA_STRING) {
        r = Latin1AUtf8(prop.value, prop.nitems);
    } else {
        char** lista = nullptr;
        int cuantos = 0;
        if (Xutf8TextPropertyToTextList(d, &prop, &lista, &cuantos) >= Success && lista) {
            if (cuantos > 0)
                r = lista[0];
            XFreeStringList(lista);
        }
    }
    XFree(prop.value);
    return r;
}

std::string ClaseVentana(Window w) {
    Trampa t;
    XClassHint pista{};
    std::string r;
    if (XGetClassHint(Pantalla(), w, &pista)) {
        if (pista.res_class)
            r = pista.res_class;
        XFree(pista.res_name);
        XFree(pista.res_class);
    }
    return r;
}

int Copiar(const std::string& s, char* texto, int max) {
    if (max <= 0)
        return 0;
    size_t n = std::min(s.size(), size_t(max - 1));
    while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n; // never half a character
    std::memcpy(texto, s.data(), n);
    texto[n] = 0;
    return int(n);
}

} // namespace

unsigned long Raiz(void) { return DefaultRootWindow(Pantalla()); }

unsigned long PrimerHijo(unsigned long ventana) {
    auto h = Hijos(ventana);
    return h.empty() ? 0 : h.back();
}

unsigned long Siguiente(unsigned long ventana) {
    Window padre = 0;
    Hijos(ventana, &padre);
    if (!padre)
        return 0;
    auto h = Hijos(padre);
    for (size_t i = h.size(); i-- > 1;)
        if (h[i] == ventana)
            return h[i - 1];
    return 0;
}

int Titulo(unsigned long ventana, char* texto, int max) { return Copiar(NombreVentana(ventana), texto, max); }
int Clase(unsigned long ventana, char* texto, int max) { return Copiar(ClaseVentana(ventana), texto, max); }

} // namespace olvado_gui
