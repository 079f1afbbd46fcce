// System-independent part of the event log: the replaceable instance.
#include "platform/Eventos.h"

namespace olvado::platform {

IEventos& EventosSistema(); // defined per system

namespace {
IEventos* actual = nullptr;
}

IEventos& EventosActual() { return actual ? *actual : EventosSistema(); }

void EstablecerEventos(IEventos* otro) { actual = otro; }

} // namespace olvado::platform
