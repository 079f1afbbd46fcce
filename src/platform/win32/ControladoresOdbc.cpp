// Win32: the driver names that the Windows installers register.
#include "platform/ControladoresOdbc.h"

namespace olvado::platform {

std::string ControladorSqlServer() { return "ODBC Driver 18 for SQL Server"; }
std::string ControladorAccess() { return "Microsoft Access Driver (*.mdb, *.accdb)"; }

void PrepararEntornoOdbc() {}

} // namespace olvado::platform
