// Which ODBC driver stands for the OLE DB provider of a connection string,
// chosen from the drivers the machine has installed (the data layer lists
// them with SQLDrivers), and the environment the driver manager reads.
#pragma once

#include <string>
#include <vector>

namespace olvado::platform {

enum class ClaseControlador {
    SqlServer, // Provider=SQLOLEDB / SQLNCLI*
    Access,    // Provider=Microsoft.Jet.OLEDB.*
};

enum class SistemaOdbc { Windows, Linux };

// The system this build runs on.
SistemaOdbc SistemaOdbcPropio();

struct ControladorElegido {
    std::string nombre;      // "" when none of the candidates is installed
    std::string clavesExtra; // "KEY=value;" pieces the driver needs to behave as the provider did
    std::string aInstalar;   // what to install, for the message when none is
};

// The pure rule. The candidates of the class on that system, newest first:
// Windows SQL Server "ODBC Driver 18/17/13/11 for SQL Server", "SQL Server
// Native Client 11.0/10.0", "SQL Native Client", the stock "SQL Server";
// Windows Access "Microsoft Access Driver (*.mdb, *.accdb)", then the stock
// 32-bit "Microsoft Access Driver (*.mdb)"; Linux FreeTDS and MDB Tools. The
// first one installed (names compared without regard to case) wins. Driver 18
// encrypts by default and refuses a server certificate it does not trust,
// which the providers never did: it gets "Encrypt=no;" unless the string
// already says how to encrypt (cifradoEnLaCadena).
ControladorElegido ElegirControlador(ClaseControlador clase, SistemaOdbc sistema,
                                     const std::vector<std::string>& instalados, bool cifradoEnLaCadena);

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
