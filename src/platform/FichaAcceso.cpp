// System-independent part of the access-token service: the replaceable instance.
#include "platform/FichaAcceso.h"

namespace olvado::platform {

IFichaAcceso& FichaAccesoSistema(); // defined per system

namespace {
IFichaAcceso* actual = nullptr;
}

IFichaAcceso& FichaAccesoActual() { return actual ? *actual : FichaAccesoSistema(); }

void EstablecerFichaAcceso(IFichaAcceso* otra) { actual = otra; }

} // namespace olvado::platform
