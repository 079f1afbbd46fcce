// The windows on screen, walked the way GetWindow walks them: the desktop
// window, a window's first child (the top of its children's stacking order)
// and its next sibling below. Windows: user32. Linux: the X11 tree of
// $DISPLAY from the root (title from _NET_WM_NAME or WM_NAME, the class part
// of WM_CLASS); without a display there is no window at all. Tests put a fake in place (base/Servicio.h).
#pragma once

#include "base/Servicio.h"

#include <cstdint>
#include <string>

namespace olvado::platform {

using Ventana = uint64_t; // 0: no window

inline constexpr int32_t GW_HWNDNEXT = 2;
inline constexpr int32_t GW_CHILD = 5;

class IVentanasSistema : public Servicio<IVentanasSistema> {
public:
    static IVentanasSistema& DelSistema();
    virtual ~IVentanasSistema() = default;
    virtual Ventana Escritorio() = 0;
    // GW_CHILD or GW_HWNDNEXT; 0 when there is none.
    virtual Ventana Relacionada(Ventana v, int32_t relacion) = 0;
    // Read through 255-character buffers: at most 254 characters, UTF-8.
    // A window that is gone answers "".
    virtual std::string Titulo(Ventana v) = 0;
    virtual std::string Clase(Ventana v) = 0;
};

} // namespace olvado::platform
