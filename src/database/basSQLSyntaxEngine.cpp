#include "database/basSQLSyntaxEngine.h"

#include "database/ado/Connection.h"

namespace olvado {

bool DetectarSintaxisSQL(ado::Connection& Conexion, int32_t& TipoProveedor, int32_t& SintaxisSQL) {
    const std::string& p = Conexion.Provider();
    auto contiene = [&p](const char* t) { return p.find(t) != std::string::npos; };
    if (contiene("Microsoft.Jet.OLEDB")) {
        TipoProveedor = 0, SintaxisSQL = 0;
        return true;
    }
    if (contiene("SQLNCLI") || contiene("SQLOLEDB")) {
        TipoProveedor = 1, SintaxisSQL = 1;
        return true;
    }
    // The native provider comes before the bridge.
    if (p == "SQLite") {
        TipoProveedor = 3, SintaxisSQL = 3;
        return true;
    }
    if (!contiene("MSDASQL"))
        return false;
    TipoProveedor = 2;
    std::string dbms = Conexion.Properties("DBMS Name").ATexto();
    if (dbms == "Microsoft SQL Server")
        SintaxisSQL = 1;
    else if (dbms == "MySQL" || dbms == "MariaDB")
        SintaxisSQL = 2;
    else if (dbms == "ACCESS")
        SintaxisSQL = 0;
    else if (dbms == "SQLite")
        SintaxisSQL = 3;
    else
        return false;
    return true;
}

} // namespace olvado
