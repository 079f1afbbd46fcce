// The T-SQL forms per engine family, and what must stay as written.
#include "database/ado/Dialecto.h"
#include "database/ado/Errors.h"
#include "database/ado/Proveedor.h"
#include "platform/ControladoresOdbc.h"

#include <gtest/gtest.h>

namespace olvado::ado {
namespace {

TEST(Dialecto, TraduceSoloDondeHaceFalta) {
    struct Caso {
        const char* sql;
        const char* mysql; // nullptr: stays as written
        const char* sqlite;
    } casos[] = {
        {"SELECT TOP 1 * FROM Valores", "SELECT * FROM Valores LIMIT 1", "SELECT * FROM Valores LIMIT 1"},
        {"select top 5 a from t order by a;", "select a from t order by a LIMIT 5;",
         "select a from t order by a LIMIT 5;"},
        {"SELECT GETDATE() AS FechaHora;", "SELECT NOW() AS FechaHora;",
         "SELECT datetime('now','localtime') AS FechaHora;"},
        {"SELECT Now() AS FechaHora;", nullptr, "SELECT datetime('now','localtime') AS FechaHora;"},
        {"SELECT @@IDENTITY as LastID;", "SELECT LAST_INSERT_ID() as LastID;",
         "SELECT last_insert_rowid() as LastID;"},
        // Literals and quoted names keep their text.
        {"SELECT 'GETDATE() @@IDENTITY', [Now()], `TOP 1` FROM t WHERE a='it''s Now()'", nullptr, nullptr},
        {"SELECT 'a\\'GETDATE()' FROM t", nullptr, "SELECT 'a\\'datetime('now','localtime')' FROM t"},
        // Longer names that only begin like the T-SQL forms.
        {"SELECT MyGETDATE(), Nowhere FROM TOPS", nullptr, nullptr},
        {"UPDATE t SET f = GETDATE ( )", "UPDATE t SET f = NOW()",
         "UPDATE t SET f = datetime('now','localtime')"},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(TraducirSQL(c.sql, FamiliaSQL::MySql), c.mysql ? c.mysql : c.sql) << c.sql;
        EXPECT_EQ(TraducirSQL(c.sql, FamiliaSQL::Sqlite), c.sqlite ? c.sqlite : c.sql) << c.sql;
        EXPECT_EQ(TraducirSQL(c.sql, FamiliaSQL::TSql), c.sql);
    }
    // MDB Tools parses neither a ";" at the end nor an alias after COUNT(*);
    // the alias comes back as the name of the column it calls "count".
    struct {
        const char *sql, *mdb;
        std::vector<std::string> aliases;
    } mdb[] = {
        {"SELECT * FROM Valores WHERE idVariable='X';", "SELECT * FROM Valores WHERE idVariable='X'", {}},
        {"SELECT COUNT(*) AS Trozos FROM BinariosTrozos WHERE Producto = 'a;' ; ",
         "SELECT COUNT(*) FROM BinariosTrozos WHERE Producto = 'a;'", {"Trozos"}},
        {"select count ( * ) as [Mis Filas] from t", "select COUNT(*) from t", {"Mis Filas"}},
        {"SELECT 'COUNT(*) AS x;', COUNT(a) AS n, MYCOUNT(*) AS m FROM t", nullptr, {}},
    };
    for (const auto& c : mdb) {
        EXPECT_EQ(TraducirSQL(c.sql, FamiliaSQL::MdbTools), c.mdb ? c.mdb : c.sql) << c.sql;
        EXPECT_EQ(AliasDeConteo(c.sql), c.aliases) << c.sql;
    }
    EXPECT_EQ(FamiliaDeControlador("MDBTools", ""), FamiliaSQL::MdbTools);
    EXPECT_EQ(FamiliaDeControlador("SQLite3", "SQLite"), FamiliaSQL::Sqlite);
    EXPECT_EQ(FamiliaDeDBMS("MariaDB"), FamiliaSQL::MySql);
    EXPECT_EQ(FamiliaDeDBMS("MySQL"), FamiliaSQL::MySql);
    EXPECT_EQ(FamiliaDeDBMS("SQLite"), FamiliaSQL::Sqlite);
    EXPECT_EQ(FamiliaDeDBMS("Microsoft SQL Server"), FamiliaSQL::TSql);
    EXPECT_EQ(TablaDeConsulta("SELECT 'from x' FROM [Mi Tabla] WHERE a=1"), "Mi Tabla");
    EXPECT_EQ(TablaDeConsulta("select * from Valores where id='a'"), "Valores");
    EXPECT_EQ(TablaDeConsulta("SELECT 1"), "");
}

TEST(Proveedor, CadaProveedorVaPorSuCamino) {
    auto odbc = ResolverProveedor("Driver={MariaDB Unicode};Socket=/s;Database=db;");
    EXPECT_EQ(odbc.via, DestinoConexion::Via::Odbc);
    EXPECT_EQ(odbc.proveedor, "MSDASQL.1");
    EXPECT_EQ(odbc.cadena, "Driver=MariaDB Unicode;Socket=/s;Database=db;");
    EXPECT_EQ(ResolverProveedor("Provider=MSDASQL;DSN=x").cadena, "DSN=x;");
    // A driver is a name, given once: no library path, no second Driver=.
    EXPECT_EQ(ResolverProveedor("Driver=SQLite3;Database=a;driver=/tmp/x.so").cadena,
              "Driver=SQLite3;Database=a;");
    EXPECT_EQ(ResolverProveedor("Driver=C:\\x.dll;DSN=x").via, DestinoConexion::Via::Desconocido);

    // The drivers come from the installed ones (this system's table decides
    // which); what the provider's keywords become is the same everywhere.
    const std::vector<std::string> hay = {"SQL Server", "FreeTDS", "Microsoft Access Driver (*.mdb)", "MDBTools"};
    auto elegido = [&hay](platform::ClaseControlador c) {
        return "Driver={" + platform::ElegirControlador(c, platform::SistemaOdbcPropio(), hay, false).nombre + "};";
    };
    auto sql = ResolverProveedor("Provider=SQLOLEDB.1;Data Source=srv;Initial Catalog=Olvado;User ID=sa;"
                                 "Password=\"a;b\";Integrated Security=SSPI;Persist Security Info=False", hay);
    EXPECT_EQ(sql.proveedor, "SQLOLEDB.1");
    EXPECT_EQ(sql.cadena, elegido(platform::ClaseControlador::SqlServer) +
                              "Server=srv;Database=Olvado;UID=sa;PWD={a;b};Trusted_Connection=Yes;");
    // Encryption as the user wrote it, in the ODBC words.
    auto cifrada = ResolverProveedor("Provider=SQLNCLI11;Server=s;Use Encryption for Data=True;"
                                     "Trust Server Certificate=False", hay);
    EXPECT_EQ(cifrada.proveedor, "SQLNCLI11");
    EXPECT_EQ(cifrada.cadena, elegido(platform::ClaseControlador::SqlServer) +
                                  "Server=s;Encrypt=yes;TrustServerCertificate=no;");
    auto jet = ResolverProveedor("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\d\\Olvado.mdb", hay);
    EXPECT_EQ(jet.proveedor, "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(jet.cadena, elegido(platform::ClaseControlador::Access) + "DBQ=C:\\d\\Olvado.mdb;");
    EXPECT_TRUE(jet.archivoAccess); // no DefaultDatabase, so no "USE "
    EXPECT_FALSE(sql.archivoAccess);

    auto nativo = ResolverProveedor("Provider=SQLite;Data Source='/var/lib/olvado/a b.db'");
    EXPECT_EQ(nativo.via, DestinoConexion::Via::SqliteNativo);
    EXPECT_EQ(nativo.proveedor, "SQLite");
    EXPECT_EQ(nativo.cadena, "/var/lib/olvado/a b.db");

    EXPECT_EQ(ResolverProveedor("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=x").via,
              DestinoConexion::Via::Desconocido);
}

TEST(Errors, CadaClaseDeSqlStateTieneSuNumero) {
    const std::pair<const char*, uint32_t> casos[] = {
        {"08001", 0x80004005u}, {"08S01", 0x80004005u}, {"42S02", 0x80040E14u}, {"23000", 0x80040E2Fu},
        {"22003", 0x80040E07u}, {"HYT00", 0x80040E31u}, {"HY000", 0x80004005u}};
    for (const auto& [estado, numero] : casos)
        EXPECT_EQ(static_cast<uint32_t>(NumeroAdo(estado)), numero) << estado;
}

} // namespace
} // namespace olvado::ado
