// System-independent part of the registry service: the replaceable instance.
#include "platform/Registro.h"

namespace olvado::platform {

IRegistro& RegistroSistema(); // defined per system

namespace {
IRegistro* actual = nullptr;
}

IRegistro& RegistroActual() { return actual ? *actual : RegistroSistema(); }

void EstablecerRegistro(IRegistro* otro) { actual = otro; }

} // namespace olvado::platform
