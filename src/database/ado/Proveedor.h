// The provider named in an ADO connection string decides how the data layer
// reaches the engine and what Connection.Provider reports.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace olvado::ado {

struct DestinoConexion {
    enum class Via { Odbc, SqliteNativo, Desconocido };
    Via via = Via::Desconocido;
    std::string cadena;    // the ODBC connection string, or the SQLite file
    std::string proveedor; // what Connection.Provider reports
    // Jet: the file is the database, and ADO answers no DefaultDatabase
    // (the Access driver reports the file as its current catalog).
    bool archivoAccess = false;
};

// "key=value;..." pairs as written (keys trimmed; values without their quotes).
std::vector<std::pair<std::string, std::string>> PartesCadena(const std::string& cadena);

DestinoConexion ResolverProveedor(const std::string& cadenaAdo);

// Whether this build has the native SQLite provider (the POSIX build only).
bool SqliteNativoDisponible();

} // namespace olvado::ado
