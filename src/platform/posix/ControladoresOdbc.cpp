// POSIX: the driver names that Debian's unixODBC packages register.
#include "platform/ControladoresOdbc.h"

namespace olvado::platform {

std::string ControladorSqlServer() { return "FreeTDS"; }
std::string ControladorAccess() { return "MDBTools"; }

} // namespace olvado::platform
