// The drivers a Windows office really has, as the driver manager lists them.
// ctest runs this once per set of driver names (olvado_controladores_*: a
// stock-like machine, one with driver 18 beside it, one with none), every
// name standing for the SQLite ODBC driver; the plain run skips it.
#include "database/ado/Connection.h"
#include "database/ado/Motor.h"
#include "database/ado/Proveedor.h"
#include "platform/Entorno.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace olvado;

TEST(ControladoresEquipoTest, CadaCadenaLlegaAlMejorInstalado) {
    const std::string juego = platform::LeerVariableEntorno("OLVADO_TEST_CONTROLADORES");
    if (juego.empty())
        GTEST_SKIP() << "sólo con un juego de controladores (ctest -R olvado_controladores)";
    const std::string sql = "SQL Server", v18 = "ODBC Driver 18 for SQL Server",
                      mdb = "Microsoft Access Driver (*.mdb)", accdb = "Microsoft Access Driver (*.mdb, *.accdb)";
    const std::map<std::string, std::vector<std::string>> juegos = {
        {"comun", {sql, mdb}}, {"v18", {sql, v18, mdb, accdb}}, {"ninguno", {}}};
    EXPECT_EQ(ado::detalle::ControladoresInstalados(), juegos.at(juego));

    // The host's SQLite driver takes the catalog as its file (a host path).
    const std::string archivo = std::string(OLVADO_BINARY_DIR) + "/pruebas-db/controladores-" + juego + ".db";
    std::ofstream(archivo, std::ios::app).flush();
    const std::string cadenaSql = "Provider=SQLOLEDB.1;Data Source=srv;Initial Catalog=" + archivo;
    const std::string cadenaJet = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + archivo;
    ado::Connection c;
    if (juego == "ninguno") {
        for (const auto& [cadena, clase, instalar] :
             {std::tuple{cadenaSql, "SQL Server", "«ODBC Driver 18 for SQL Server»"},
              std::tuple{cadenaJet, "Access", "Microsoft Access Database Engine"}}) {
            EXPECT_THROW(c.Open(cadena, "", "", -1), ado::ErrorAdo);
            ASSERT_EQ(c.Errors().Count(), 1);
            const std::string& texto = c.Errors().Item(0).Description;
            EXPECT_NE(texto.find(std::string("ningún controlador ODBC de ") + clase), std::string::npos) << texto;
            EXPECT_NE(texto.find(instalar), std::string::npos) << texto;
        }
        return;
    }
    const bool con18 = juego == "v18";
    EXPECT_EQ(ado::ResolverProveedor(cadenaSql).cadena,
              "Driver={" + (con18 ? v18 : sql) + "};Server=srv;Database=" + archivo + ";" + (con18 ? "Encrypt=no;" : ""));
    EXPECT_EQ(ado::ResolverProveedor(cadenaJet).cadena, "Driver={" + (con18 ? accdb : mdb) + "};DBQ=" + archivo + ";");
    // The SQL Server string reaches its driver and opens.
    c.Open(cadenaSql, "", "", -1);
    EXPECT_EQ(c.Properties("DBMS Name").ATexto(), "SQLite");
    c.Close();
    // The Access one reaches its driver too, which answers for itself (the
    // SQLite driver knows no DBQ): no "driver not found" from the manager.
    EXPECT_THROW(c.Open(cadenaJet, "", "", -1), ado::ErrorAdo);
    for (int32_t i = 0; i < c.Errors().Count(); ++i)
        EXPECT_NE(c.Errors().Item(i).SQLState, "IM002") << c.Errors().Item(i).Description;
}
