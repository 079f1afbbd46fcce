#include "support/MotoresPrueba.h"

#include "database/ado/Proveedor.h"
#include "platform/Entorno.h"

#include <fstream>

namespace olvado::prueba {

namespace {

// The database files: one per engine and build, under their host path (the
// drivers are host programs in both builds: Wine's odbc32 hands the string to
// the host's unixODBC). The run-as tests reach them as another account, so
// scripts/test names a folder that every account can enter
// (OLVADO_TEST_DB_DIR); without it they live in the build tree.
std::string ArchivoDb(const std::string& nombre) {
    const std::string binarios = OLVADO_BINARY_DIR;
    const std::string carpeta = platform::LeerVariableEntorno("OLVADO_TEST_DB_DIR");
    if (carpeta.empty())
        return binarios + "/pruebas-db/" + nombre + ".db";
    return carpeta + "/" + binarios.substr(binarios.rfind('/') + 1) + "-" + nombre + ".db";
}

} // namespace

std::string SocketMariaDB() { return platform::LeerVariableEntorno("OLVADO_TEST_MARIADB_SOCKET"); }

std::vector<MotorPrueba> MotoresPrueba() {
    std::vector<MotorPrueba> motores;
    if (ado::SqliteNativoDisponible()) {
        std::string archivo = ArchivoDb("nativo");
        std::ofstream(archivo, std::ios::app).flush(); // an empty file is an empty database
        motores.push_back({"SqliteNativo", "Provider=SQLite;Data Source=" + archivo, "", "SQLite", "SQLite", 3});
    }
    motores.push_back({"SqliteOdbc", "Driver=SQLite3;Database=" + ArchivoDb("odbc"), "", "MSDASQL.1", "SQLite", 3});
    std::string base = platform::LeerVariableEntorno("OLVADO_TEST_MARIADB_DB");
    motores.push_back({"MariaDB",
                       "Provider=MSDASQL.1;Driver={MariaDB Unicode};Socket=" + SocketMariaDB() + ";Database=" + base +
                           ";User=root;Password=;",
                       base, "MSDASQL.1", "MariaDB", 2});
    return motores;
}

} // namespace olvado::prueba
