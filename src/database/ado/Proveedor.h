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
    // The ODBC driver: as named (ODBC bridge) or, for SQL Server and Access,
    // the installed one chosen; when the machine has none of the class,
    // sinControlador is the message that says what to install (and cadena
    // is empty).
    std::string controlador;
    std::string sinControlador;
};

// "key=value;..." pairs as written (keys trimmed; values without their quotes).
std::vector<std::pair<std::string, std::string>> PartesCadena(const std::string& cadena);

// The SQL Server and Access drivers are chosen from the installed ones: the
// driver manager's list, or the one given.
DestinoConexion ResolverProveedor(const std::string& cadenaAdo);
DestinoConexion ResolverProveedor(const std::string& cadenaAdo, const std::vector<std::string>& instalados);

// Whether this build has the native SQLite provider (the POSIX build only).
bool SqliteNativoDisponible();

} // namespace olvado::ado
