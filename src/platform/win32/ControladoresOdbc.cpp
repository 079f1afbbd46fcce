// Win32: the drivers come from the Windows tables; the driver manager reads
// the registry, not the environment.
#include "platform/ControladoresOdbc.h"

namespace olvado::platform {

SistemaOdbc SistemaOdbcPropio() { return SistemaOdbc::Windows; }

void PrepararEntornoOdbc() {}

} // namespace olvado::platform
