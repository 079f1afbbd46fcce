// Names of the ODBC drivers that stand for the OLE DB providers of the
// connection strings, as each system installs them.
#pragma once

#include <string>

namespace olvado::platform {

// For Provider=SQLOLEDB / SQLNCLI*: Windows "ODBC Driver 18 for SQL Server",
// Linux FreeTDS.
std::string ControladorSqlServer();
// For Provider=Microsoft.Jet.OLEDB.*: Windows the Access driver, Linux the MDB
// Tools driver (read only, where installed).
std::string ControladorAccess();

} // namespace olvado::platform
