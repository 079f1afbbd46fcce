// Derives the SQL dialect of an open connection from its provider and, for
// the ODBC bridge, from the engine's "DBMS Name".
#pragma once

#include <cstdint>

namespace olvado {

namespace ado {
class Connection;
}

// Provider kinds: 0 Jet, 1 SQL Server, 2 ODBC bridge, 3 native SQLite.
// Dialects: 0 Access, 1 SQL Server, 2 MySQL (MariaDB too), 3 SQLite.
// False for another provider leaves both outputs unchanged; for an ODBC
// engine that is not known only the provider kind (2) is written. A failure
// reading the properties raises.
bool DetectarSintaxisSQL(ado::Connection& Conexion, int32_t& TipoProveedor, int32_t& SintaxisSQL);

} // namespace olvado
