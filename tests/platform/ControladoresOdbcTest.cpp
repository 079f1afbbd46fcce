// The choice of a provider's driver from the installed ones: both systems'
// tables, on both builds.
#include "platform/ControladoresOdbc.h"

#include <gtest/gtest.h>

using namespace olvado::platform;

TEST(ControladoresOdbc, ElMasNuevoInstaladoYElCifradoDelProveedor) {
    const auto W = SistemaOdbc::Windows, L = SistemaOdbc::Linux;
    const auto S = ClaseControlador::SqlServer, A = ClaseControlador::Access;
    const std::string v18 = "ODBC Driver 18 for SQL Server", mdb = "Microsoft Access Driver (*.mdb)";
    using V = std::vector<std::string>;
    struct {
        ClaseControlador clase;
        SistemaOdbc sistema;
        V instalados;
        bool cifrado;
        std::string nombre, extra;
    } casos[] = {
        {S, W, {"SQL Server", mdb, "SQLite3"}, false, "SQL Server", ""}, // a stock Windows
        {S, W, {"SQL Server", "sql server native client 11.0", "SQL Native Client"}, false,
         "SQL Server Native Client 11.0", ""},
        {S, W, {"ODBC Driver 11 for SQL Server", "ODBC Driver 13 for SQL Server"}, false,
         "ODBC Driver 13 for SQL Server", ""},
        {S, W, {"ODBC Driver 17 for SQL Server", v18, "SQL Server"}, false, v18, "Encrypt=no;"},
        {S, W, {v18}, true, v18, ""}, // the string says how to encrypt: the user's words win
        {S, W, {"FreeTDS", "MDBTools"}, false, "", ""},
        {A, W, {mdb, "Microsoft Access Driver (*.mdb, *.accdb)"}, false, "Microsoft Access Driver (*.mdb, *.accdb)", ""},
        {A, W, {"SQL Server", mdb}, false, mdb, ""},
        {S, L, {"MariaDB Unicode", "FreeTDS", "SQL Server"}, false, "FreeTDS", ""},
        {S, L, {v18}, false, "", ""},
        {A, L, {"SQLite3", "MDBTools"}, false, "MDBTools", ""},
    };
    for (const auto& c : casos) {
        auto e = ElegirControlador(c.clase, c.sistema, c.instalados, c.cifrado);
        EXPECT_EQ(e.nombre + "|" + e.clavesExtra, c.nombre + "|" + c.extra) << c.instalados.front();
    }
    // What to install, when none is: the names an administrator looks for.
    const std::pair<ClaseControlador, SistemaOdbc> clases[] = {{S, W}, {A, W}, {S, L}, {A, L}};
    const char* nombres[] = {"«ODBC Driver 18 for SQL Server»", "Microsoft Access Database Engine", "tdsodbc",
                             "odbc-mdbtools"};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_NE(ElegirControlador(clases[i].first, clases[i].second, {}, false).aInstalar.find(nombres[i]),
                  std::string::npos) << nombres[i];
}
