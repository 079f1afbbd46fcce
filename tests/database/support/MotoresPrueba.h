// The engines that the database tests run against, written once and run per
// engine: SQLite through the native provider (where the build has it), SQLite
// through the SQLite3 ODBC driver, and the private MariaDB that scripts/test
// starts (OLVADO_TEST_MARIADB_SOCKET, OLVADO_TEST_MARIADB_DB).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace olvado::prueba {

struct MotorPrueba {
    std::string nombre;    // for the test's name: SqliteNativo, SqliteOdbc, MariaDB
    std::string cadena;    // ADO connection string
    std::string catalogo;  // what DefaultDatabase answers once open
    std::string proveedor; // what Connection.Provider reports
    std::string dbms;      // "DBMS Name"
    int dialecto;          // what DetectarSintaxisSQL gives

    // Column types for the tables the tests create.
    std::string Blob() const { return dialecto == 2 ? "LONGBLOB" : "BLOB"; }
    std::string Autonumerico() const {
        return dialecto == 2 ? "INT AUTO_INCREMENT PRIMARY KEY" : "INTEGER PRIMARY KEY AUTOINCREMENT";
    }
};

// For TEST_P names and messages.
inline std::string NombreMotor(const MotorPrueba& m) { return m.nombre; }
inline void PrintTo(const MotorPrueba& m, std::ostream* os) { *os << m.nombre; }

std::vector<MotorPrueba> MotoresPrueba();
// The MariaDB server's socket ("" when scripts/test did not start one).
std::string SocketMariaDB();

} // namespace olvado::prueba
