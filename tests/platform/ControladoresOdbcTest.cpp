// The choice of a provider's driver from the installed ones: both systems'
// tables, on both builds.
#include "platform/ControladoresOdbc.h"

#include <gtest/gtest.h>

using namespace olvado::platform;

TEST(ControladoresOdbc, ElMasNuevoInstaladoYElCifradoDelProveedor) {
    const auto W = SistemaOdbc::Windows, L = SistemaOdbc::Linux;
    const auto S = ClaseControlador::SqlServer, A = ClaseControlador::Access;
    struct Caso {
        ClaseControlador clase;
        SistemaOdbc sistema;
        std::vector<std::string> instalados;
        bool cifrado;
        const char* nombre;
        const char* extra;
    } casos[] = {
        // A stock Windows: only "SQL Server" among others.
        {S, W, {"SQL Server", "Microsoft Access Driver (*.mdb)", "SQLite3"}, false, "SQL Server", ""},
        {S, W, {"SQL Server", "sql server native client 11.0", "SQL Native Client"}, false,
         "SQL Server Native Client 11.0", ""},
        {S, W, {"SQL Server", "ODBC Driver 11 for SQL Server", "ODBC Driver 13 for SQL Server"}, false,
         "ODBC Driver 13 for SQL Server", ""},
        {S, W, {"ODBC Driver 17 for SQL Server", "ODBC Driver 18 for SQL Server", "SQL Server"}, false,
         "ODBC Driver 18 for SQL Server", "Encrypt=no;"},
        // The string says how to encrypt: the user's words win.
        {S, W, {"ODBC Driver 18 for SQL Server"}, true, "ODBC Driver 18 for SQL Server", ""},
        {S, W, {"ODBC Driver 17 for SQL Server"}, false, "ODBC Driver 17 for SQL Server", ""},
        {S, W, {"FreeTDS", "SQL Server Native Client 10.0"}, false, "SQL Server Native Client 10.0", ""},
        {S, W, {"FreeTDS", "MDBTools"}, false, "", ""},
        {S, W, {}, false, "", ""},
        {A, W, {"Microsoft Access Driver (*.mdb)", "Microsoft Access Driver (*.mdb, *.accdb)"}, false,
         "Microsoft Access Driver (*.mdb, *.accdb)", ""},
        {A, W, {"SQL Server", "Microsoft Access Driver (*.mdb)"}, false, "Microsoft Access Driver (*.mdb)", ""},
        {A, W, {"MDBTools", "Microsoft Access Driver (*.accdb)"}, false, "", ""},
        {S, L, {"MariaDB Unicode", "FreeTDS", "SQL Server"}, false, "FreeTDS", ""},
        {S, L, {"SQL Server", "ODBC Driver 18 for SQL Server"}, false, "", ""},
        {A, L, {"SQLite3", "MDBTools"}, false, "MDBTools", ""},
        {A, L, {"Microsoft Access Driver (*.mdb)"}, false, "", ""},
    };
    for (const auto& c : casos) {
        auto e = ElegirControlador(c.clase, c.sistema, c.instalados, c.cifrado);
        EXPECT_EQ(e.nombre, c.nombre) << c.nombre << " / " << c.instalados.size();
        EXPECT_EQ(e.clavesExtra, c.extra) << c.nombre;
    }
    // What to install, when none is: the names an administrator looks for.
    EXPECT_NE(ElegirControlador(S, W, {}, false).aInstalar.find("ODBC Driver 18 for SQL Server"), std::string::npos);
    EXPECT_NE(ElegirControlador(A, W, {}, false).aInstalar.find("Microsoft Access Database Engine"),
              std::string::npos);
    EXPECT_NE(ElegirControlador(S, L, {}, false).aInstalar.find("tdsodbc"), std::string::npos);
    EXPECT_NE(ElegirControlador(A, L, {}, false).aInstalar.find("odbc-mdbtools"), std::string::npos);
}
