// The clock in use, common to both systems.
#include "platform/Reloj.h"

namespace olvado::platform {

namespace {
IReloj* actual = nullptr;
}

IReloj& RelojActual() { return actual ? *actual : RelojDelSistema(); }
void EstablecerReloj(IReloj* otro) { actual = otro; }

} // namespace olvado::platform
