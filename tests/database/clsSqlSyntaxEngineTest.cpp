// Known answers for every member and dialect, fallbacks included (3 stands
// for SQLite and any other code).
#include "database/clsSqlSyntaxEngine.h"

#include <gtest/gtest.h>

namespace olvado {
namespace {

clsSqlSyntaxEngine En(int32_t d) {
    clsSqlSyntaxEngine e;
    e.SintaxisSQL(d);
    return e;
}

// SQL Server's forms until a dialect is set; the time is unpadded in every one.
TEST(clsSqlSyntaxEngine, EmpiezaEnSqlServerYCitaSegunElDialecto) {
    clsSqlSyntaxEngine e;
    EXPECT_EQ(e.Strg("O'Brien"), "'O_Brien'");
    EXPECT_EQ(e.Concat(3, "A1", "A2", "A3"), "(A1 + A2 + A3)");
    for (int d : {0, 1, 2, 3})
        EXPECT_EQ(En(d).Hora({2024, 3, 7, 14, 5, 9}), "'14:5:9'");
    EXPECT_EQ(En(0).Strg("O'Brien"), "'O_Brien'");
    EXPECT_EQ(En(2).Strg("O'Brien"), "'O\\'Brien'");
    EXPECT_EQ(En(2).Strg("a\"b\\c"), "'a\\\"b\\c'");
    EXPECT_EQ(En(3).Strg("a\"b'"), "'a\"b_'");
    EXPECT_EQ(En(1).Strg("   ", true), "Null");
    EXPECT_EQ(En(1).Strg("   "), "'   '");
    EXPECT_EQ(En(1).Strg(""), "''");
    EXPECT_EQ(En(1).Strg(" x ", true), "' x '");
}

TEST(clsSqlSyntaxEngine, FechasYFormatos) {
    ado::FechaHora f{2024, 3, 7, 14, 5, 9};
    EXPECT_EQ(En(0).Fecha(f, true), "#03-07-2024 14:5:9#");
    EXPECT_EQ(En(1).Fecha(f, true), "'20240307 14:5:9'");
    EXPECT_EQ(En(2).Fecha(f, true), "'2024-03-07 14:05:09'");
    EXPECT_EQ(En(3).Fecha(f, true), "'2024-03-07 14:05:09'");
    EXPECT_EQ(En(0).Fecha(f), "#03-07-2024#");
    EXPECT_EQ(En(1).Fecha(f), "'20240307'");
    EXPECT_EQ(En(2).Fecha(f), "'2024-03-07 00:00:00'");
    EXPECT_EQ(En(0).Fecha({2024, 12, 1, 0, 0, 0}), "#12-01-2024#");

    EXPECT_EQ(En(0).FormatoFecha("F", "", true), " Format( F, 'dd-mmm-yy' )");
    EXPECT_EQ(En(0).FormatoFecha("F"), " Format( F, 'dd-mmm-yy Hh:Nn' )");
    EXPECT_EQ(En(1).FormatoFecha("F", "X", true), " CONVERT( char, F, 3 ) AS X");
    EXPECT_EQ(En(1).FormatoFecha("F"), " LEFT( CONVERT( char, F, 113 ), 17 )");
    EXPECT_EQ(En(2).FormatoFecha("F", "X"), " F AS X");

    EXPECT_EQ(En(0).FormatoNumero_Ceros("F", "", 4), " Format( F, '0000' )");
    EXPECT_EQ(En(0).FormatoNumero_Ceros("F"), " Format( F, Null )");
    EXPECT_EQ(En(1).FormatoNumero_Ceros("F", "X", 4), " LTRIM(STR(F)) AS X");
    EXPECT_EQ(En(2).FormatoNumero_Ceros("F", "", 3), " CONCAT('000',F)");
    EXPECT_EQ(En(3).FormatoNumero_Ceros("F", "", 3), " F");
}

TEST(clsSqlSyntaxEngine, ExpresionesNombresLimitesYMoneda) {
    EXPECT_EQ(En(0).sIIF("a=1", "'x'", "'y'", "Z"), " iif( a=1, 'x', 'y' ) AS Z");
    EXPECT_EQ(En(3).sIIF("a=1", "'x'", "'y'"), " CASE WHEN a=1 THEN 'x' ELSE 'y' END");

    EXPECT_EQ(En(0).NC("[Tabla]"), "[Tabla]");
    EXPECT_EQ(En(1).NC("Ta[b]la"), "[Tabla]");
    EXPECT_EQ(En(2).NC("[Tabla]"), "`[Tabla]`");
    EXPECT_EQ(En(2).NC("Ta`bla"), "`Tabla`");
    EXPECT_EQ(En(3).NC("[Tabla]"), "[Tabla]");

    EXPECT_EQ(En(1).Concat(0, "X", "Y"), "''");
    EXPECT_EQ(En(1).Concat(1, "X", "Y"), "X");
    EXPECT_EQ(En(0).Concat(2, "A", "B"), "(A & B)");
    EXPECT_EQ(En(2).Concat(4, "A", "B", "C", "D", "E"), "CONCAT(A, B, C, D)");
    EXPECT_EQ(En(1).Concat(12, "1", "2", "3", "4", "5", "6", "7", "8", "9"),
              "(1 + 2 + 3 + 4 + 5 + 6 + 7 + 8 + 9)");
    EXPECT_EQ(En(3).Concat(2, "A", "B"), "");

    clsSqlSyntaxEngine e;
    EXPECT_EQ(e.LimitarRegistrosSQL(5, "select a from t;"), "SELECT TOP 5 a from t;");
    EXPECT_EQ(e.LimitarRegistrosSQL(10, "SELECT * FROM T"), "SELECT TOP 10 * FROM T");
    EXPECT_EQ(e.LimitarRegistrosSQL(5, "SELECT TOP 3 a FROM t"), "SELECT TOP 3 a FROM t");
    EXPECT_EQ(e.LimitarRegistrosSQL(5, "  UPDATE t SET a=1  "), "UPDATE t SET a=1");
    EXPECT_EQ(e.LimitarRegistrosSQL(5, "  SELECT a FROM t"), "SELECT a FROM t");
    EXPECT_EQ(En(3).LimitarRegistrosSQL(2, "SELECT a FROM t;"), "SELECT TOP 2 a FROM t;");

    EXPECT_EQ(e.CampoMoneda(" 1,234.56 "), "1234.56");
    struct Coma : IAjustesSintaxis {
        std::string FormatoFechaCorta() const override { return "dd/mm/yy"; }
        std::string FormatoFechaHora() const override { return "dd/mm/yy hh:nn"; }
        std::string SeparadorDecimal() const override { return ","; }
        std::string SeparadorMiles() const override { return ""; }
    } coma;
    clsSqlSyntaxEngine local(&coma);
    EXPECT_EQ(local.CampoMoneda("1.234,5"), "1.234.5");
    local.SintaxisSQL(0);
    EXPECT_EQ(local.FormatoFecha("F", "", true), " Format( F, 'dd/mm/yy' )");
}

} // namespace
} // namespace olvado
