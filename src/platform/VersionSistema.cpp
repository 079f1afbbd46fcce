// System-independent part of the version service: the replaceable instance.
#include "platform/VersionSistema.h"

namespace olvado::platform {

IVersionSistema& VersionSistemaSistema(); // defined per system

namespace {
IVersionSistema* actual = nullptr;
}

IVersionSistema& VersionSistemaActual() { return actual ? *actual : VersionSistemaSistema(); }

void EstablecerVersionSistema(IVersionSistema* otro) { actual = otro; }

} // namespace olvado::platform
