// System-independent part of DoEvents: the replaceable instance.
#include "platform/MensajesPendientes.h"

namespace olvado::platform {

IMensajesPendientes& MensajesPendientesSistema(); // defined per system

namespace {
IMensajesPendientes* actual = nullptr;
}

IMensajesPendientes& MensajesPendientesActual() { return actual ? *actual : MensajesPendientesSistema(); }

void EstablecerMensajesPendientes(IMensajesPendientes* otro) { actual = otro; }

} // namespace olvado::platform
