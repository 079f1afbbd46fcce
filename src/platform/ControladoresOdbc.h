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

// Called before the driver manager reads its configuration. A privileged run
// (Linux: root or set-id) drops every variable through which the account
// that started it (sudo -E keeps its environment) would choose the driver
// manager's files or a driver's: ODBCSYSINI, ODBCINI, ODBCINSTINI,
// ODBCSEARCH and the rest of ODBC*, FreeTDS's (FREETDS*, TDS*) and the
// MariaDB client's (MYSQL*, MARIADB*, LIBMYSQL*); only the system's own
// configuration then names drivers. Windows' driver manager reads the
// registry, not the environment: nothing to drop there.
void PrepararEntornoOdbc();

} // namespace olvado::platform
