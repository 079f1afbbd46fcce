// System-independent part of the window walk: the replaceable instance.
#include "platform/VentanasSistema.h"

namespace olvado::platform {

IVentanasSistema& VentanasSistemaSistema(); // defined per system

namespace {
IVentanasSistema* actual = nullptr;
}

IVentanasSistema& VentanasSistemaActual() { return actual ? *actual : VentanasSistemaSistema(); }

void EstablecerVentanasSistema(IVentanasSistema* otro) { actual = otro; }

} // namespace olvado::platform
