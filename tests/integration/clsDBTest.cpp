// The database object against every engine, opened through a real store;
// AbrirDB on bad input, and the reconnection of a connection that the
// MariaDB server drops (the server ends the session as a restart does).
#include "database/clsDB.h"
#include "common/clsStgComunes.h"
#include "database/ConfigConexion.h"
#include "platform/Entorno.h"
#include "platform/MensajesPendientes.h"
#include "platform/MessageBox.h"
#include "support/ActualizadorPrueba.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/EscritorMdb.h"
#include "support/LanzadorFalso.h"
#include "support/MotoresPrueba.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <tuple>

namespace olvado {
namespace {

namespace fs = std::filesystem;
using prueba::LeerArchivo;

using Errores = std::vector<std::pair<int32_t, std::string>>; // number and source

struct Avisos : platform::IMessageBox, IMostrarErrores {
    Errores errores;
    std::vector<std::string> textos, titulos; // of the boxes
    Reemplazo enUso_{*this};
    int32_t Mostrar(const std::string& texto, int32_t, const std::string& titulo) override {
        textos.push_back(texto), titulos.push_back(titulo);
        return platform::vbOK;
    }
    void MostrarERRExt(int32_t n, const std::string& fuente, const std::string&) override {
        errores.emplace_back(n, fuente);
    }
};

struct CajaNumero : IControlTexto {
    std::string texto;
    std::string Text() const override { return texto; }
    void SetText(const std::string& t) override { texto = t; }
    void SetMaxLength(int32_t) override {}
    std::string DataField() const override { return "#,##0.00"; }
};

// A store, the object opened from it and what it showed.
template <class Base> class ConDB : public Base {
  protected:
    prueba::ArbolPrueba arbol_;
    prueba::AlmacenPrueba almacen_;
    Avisos avisos_;
    ConfigConexion config_;
    clsDB db_{&avisos_, &config_};
};

// `n` bytes of a seeded generator, written to `ruta`.
std::string EscribirAzar(const fs::path& ruta, size_t n, uint32_t semilla) {
    std::string b(n, '\0');
    std::mt19937 g(semilla);
    for (auto& x : b)
        x = static_cast<char>(g());
    prueba::EscribirArchivo(ruta, b);
    return b;
}

class clsDBTest : public ConDB<::testing::TestWithParam<prueba::MotorPrueba>> {
  protected:
    void SetUp() override {
        // Fresh tables before the object opens: AbrirDB reads Valores.
        prueba::CrearTablas(GetParam(), false);
        prueba::EjecutarSql(GetParam().cadena, "DROP TABLE IF EXISTS Paquetes");
        prueba::EjecutarSql(GetParam().cadena, "CREATE TABLE Paquetes (id " + GetParam().Autonumerico() +
                                                   ", Nombre VARCHAR(50), Binario " + GetParam().Blob() +
                                                   ")");
        almacen_.Escribir({{"1", GetParam().nombre, GetParam().cadena, GetParam().catalogo, "1"}});
        ASSERT_TRUE(db_.AbrirDB(true));
    }
    // A new package row whose Binario is the file, through Archivo_A_BLOB.
    void GuardarPaquete(const std::string& nombre, const fs::path& archivo) {
        std::unique_ptr<ado::Recordset> rs;
        ASSERT_TRUE(db_.AbrirRs(rs, "SELECT TOP 1 * FROM Paquetes", 3, 3, -1, true));
        rs->AddNew();
        rs->Fields("Nombre").SetValue(ado::Valor(nombre));
        ASSERT_TRUE(db_.Archivo_A_BLOB(rs->Fields("Binario"), archivo.string()));
        rs->Update();
    }
    // The package's Binario written through BLOB_a_Archivo ("" for a new temporary file).
    std::string Volcar(const std::string& nombre, std::string destino) {
        std::unique_ptr<ado::Recordset> rs;
        EXPECT_TRUE(db_.AbrirRs(rs, "SELECT * FROM Paquetes WHERE Nombre='" + nombre + "'", 3, 3, -1, true));
        EXPECT_TRUE(rs && db_.BLOB_a_Archivo(rs->Fields("Binario"), destino));
        return destino;
    }
};

TEST_P(clsDBTest, AbreDetectaYCuenta) {
    EXPECT_EQ(db_.SintaxisSQL(), GetParam().dialecto);
    EXPECT_TRUE(avisos_.textos.empty() && avisos_.errores.empty());
    std::unique_ptr<ado::Recordset> rs;
    int32_t n = 0;
    EXPECT_TRUE(db_.AbrirRs(rs, "SELECT * FROM Valores", 3, 3, -1, true, n));
    EXPECT_EQ(n, 0);
    n = 0;
    EXPECT_FALSE(db_.AbrirRs(rs, "SELECT * FROM Valores", 0, 1, -1, true, n));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->State(), 1);
    bool exito = false;
    EXPECT_FALSE(db_.HayRegistrosSQL("SELECT * FROM Valores", &exito));
    EXPECT_TRUE(exito);
    EXPECT_TRUE(db_.Set_Variable("A", 1, "x", 2));
    EXPECT_TRUE(db_.Set_Variable("B", 1, "y", 3));
    n = 0;
    EXPECT_TRUE(db_.AbrirRs(rs, "SELECT * FROM Valores ORDER BY idVariable", 3, 3, -1, true, n));
    EXPECT_EQ(n, 2);
    std::vector<std::vector<ado::Valor>> m;
    EXPECT_TRUE(db_.vGetRows(*rs, m, {"ValorLargo"}, n));
    ASSERT_EQ(m.at(0).size(), 2u);
    EXPECT_EQ(m[0][1].AEntero(), 3);
    EXPECT_TRUE(db_.HayRegistrosSQL("SELECT * FROM Valores", &exito));
    // The engine's own last id, after a row written by SQL and one through a recordset.
    ASSERT_TRUE(db_.EjecutarSQL("INSERT INTO Paquetes (Nombre) VALUES ('a')"));
    ASSERT_TRUE(db_.AbrirRs(rs, "SELECT TOP 1 id, Nombre FROM Paquetes", 3, 3, -1, true));
    rs->AddNew();
    rs->Fields("Nombre").SetValue(ado::Valor("b"));
    rs->Update();
    EXPECT_EQ(db_.LastInsertID(*rs, "id"), 2);
    // A bound number box shows the user's separators, as the common utilities do.
    ASSERT_TRUE(db_.AbrirRs(rs, "SELECT 1234.5 AS n", 3, 3, -1, true));
    CajaNumero caja;
    db_.EnlazarCampo_TextBox_Numero(caja, rs->Fields("n"));
    clsStgComunes comunes;
    EXPECT_EQ(caja.texto, "1" + comunes.sSepMillar + "234" + comunes.sSepDecimal + "50");
}

TEST_P(clsDBTest, DbIntermImpideAbrirYDejaLaConexion) {
    ASSERT_TRUE(db_.Set_Variable("DBINTERM", 1, "", 7));
    clsDB otra(&avisos_, &config_);
    EXPECT_FALSE(otra.AbrirDB(true));
    ASSERT_EQ(avisos_.textos.size(), 1u);
    EXPECT_EQ(avisos_.titulos.back(), "No se puede abrir Base de Datos");
    EXPECT_EQ(avisos_.textos[0],
              "La Base de Datos Olvado está en medio de un proceso de actualización (#7)\r\n\r\n"
              "Favor espere a que se complete la actualización de Olvado en el servidor e "
              "intente nuevamente.");
    ASSERT_NE(otra.ObtenerConexion(), nullptr);
    EXPECT_EQ(otra.ObtenerConexion()->State(), 1);
}

// The report of the connection's errors, opened with "Open" in a normal window.
TEST_P(clsDBTest, MostrarErroresDBEscribeYAbreElInforme) {
    prueba::LanzadorFalso shell;
    EXPECT_FALSE(db_.EjecutarSQL("SELECT * FROM NoExiste", nullptr, 0, false));
    db_.MostrarErroresDB(7);
    ASSERT_EQ(shell.peticiones.size(), 1u);
    const auto& p = shell.peticiones[0];
    EXPECT_EQ(std::tie(p.verbo, p.ventana, p.mostrar), std::make_tuple("Open", 7, 1));
    const std::string texto = LeerArchivo(fs::u8path(p.archivo));
    fs::remove(fs::u8path(p.archivo));
    EXPECT_TRUE(p.archivo.ends_with("Olvado_Errores_DB.txt") && texto.ends_with("\r\n\r\n")) << texto;
}

TEST_P(clsDBTest, VariablesGuardadas) {
    int32_t tipo = -1, largo = -1;
    std::string texto = "previo";
    EXPECT_FALSE(db_.Get_Variable("EXU", tipo, texto, largo));
    ASSERT_TRUE(db_.EjecutarSQL("INSERT INTO Valores VALUES ('EXU', 4, NULL, 9)"));
    EXPECT_TRUE(db_.Get_Variable("EXU", tipo, texto, largo));
    EXPECT_EQ(std::tie(tipo, texto, largo), std::make_tuple(4, "", 9));
    // Replaced, not added: delete then insert.
    EXPECT_TRUE(db_.Set_Variable("EXU", 5, "O'Brien", 10));
    int64_t filas = 0;
    ASSERT_TRUE(
        db_.EjecutarSQL("UPDATE Valores SET ValorLargo = ValorLargo + 1 WHERE idVariable = 'EXU'", &filas));
    EXPECT_EQ(filas, 1);
    EXPECT_TRUE(db_.Get_Variable("EXU", tipo, texto, largo));
    // Values are parameters: no quoting rule applies.
    EXPECT_EQ(std::tie(tipo, texto, largo), std::make_tuple(5, "O'Brien", 11));
    // A Null in ValorLargo raises the conversion error to the caller.
    ASSERT_TRUE(db_.EjecutarSQL("INSERT INTO Valores VALUES ('NUL', 1, 'x', NULL)"));
    EXPECT_THROW(db_.Get_Variable("NUL", tipo, texto, largo), ErrorOlvado);
}

TEST_P(clsDBTest, BlobAArchivoYDeVuelta) {
    const fs::path origen = arbol_.Temporal() / "origen.bin";
    const std::string datos = EscribirAzar(origen, 20000, 1);
    GuardarPaquete("p", origen);
    // An existing longer file is written over from the start, not emptied.
    const fs::path destino = arbol_.Temporal() / "destino.bin";
    const std::string previo = EscribirAzar(destino, 30000, 2);
    Volcar("p", destino.string());
    EXPECT_TRUE(LeerArchivo(destino) == datos + previo.substr(20000));
    // Without a name: a new temporary file, its name handed back.
    const std::string temporal = Volcar("p", "");
    EXPECT_TRUE(LeerArchivo(fs::u8path(temporal)) == datos);
    fs::remove(fs::u8path(temporal));
    std::unique_ptr<ado::Recordset> rs;
    ASSERT_TRUE(db_.AbrirRs(rs, "SELECT * FROM Paquetes", 3, 3, -1, true));
    EXPECT_FALSE(db_.Archivo_A_BLOB(rs->Fields("Binario"), origen.string() + ".no-existe"));
    EXPECT_EQ(avisos_.errores.back().second, "Error");

    // 100 MiB exactly, there and back.
    const fs::path grande = arbol_.Temporal() / "grande.bin";
    EscribirAzar(grande, 100u << 20, 3);
    GuardarPaquete("grande", grande);
    EXPECT_TRUE(LeerArchivo(Volcar("grande", (arbol_.Temporal() / "vuelta.bin").string())) ==
                LeerArchivo(grande));
}

INSTANTIATE_TEST_SUITE_P(Motores, clsDBTest, ::testing::ValuesIn(prueba::MotoresPrueba()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

std::string CadenaMariaDB(const std::string& credenciales) {
    return "Driver={MariaDB Unicode};Socket=" + prueba::SocketMariaDB() +
           ";Database=" + platform::LeerVariableEntorno("OLVADO_TEST_MARIADB_DB") + ";" + credenciales;
}

class AbrirDBTest : public ConDB<::testing::Test> {
  protected:
    bool Abrir(const std::string& cadena, bool avisar = true) {
        almacen_.Escribir({{"1", "prueba", cadena, platform::LeerVariableEntorno("OLVADO_TEST_MARIADB_DB")}});
        return db_.AbrirDB(avisar);
    }
    int32_t IdConexion() {
        std::unique_ptr<ado::Recordset> rs;
        EXPECT_TRUE(db_.AbrirRs(rs, "SELECT CONNECTION_ID() AS id", 3, 3, -1, true));
        return rs ? static_cast<int32_t>(rs->Fields("id").Value().AEntero()) : 0;
    }
    static void Root(const std::string& sql) { prueba::EjecutarSql(CadenaMariaDB("User=root;"), sql); }
};

TEST_F(AbrirDBTest, EntradasQueNoAbren) {
    // No connection string at all: False at once, without a message.
    EXPECT_FALSE(Abrir(""));
    EXPECT_EQ(db_.ObtenerConexion(), nullptr);
    EXPECT_FALSE(Abrir("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=x.accdb"));
    EXPECT_EQ(avisos_.errores, Errores({{static_cast<int32_t>(0x800A0E7Au), "Olvado"}}));
    ASSERT_NE(db_.ObtenerConexion(), nullptr);
    EXPECT_EQ(db_.ObtenerConexion()->State(), 0);
    // Access: Linux's MDB Tools refuses a missing file itself; Wine's host lacks the driver, said so.
    EXPECT_FALSE(Abrir("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + (arbol_.Raiz() / "a.mdb").string()));
    const ado::Errors& e = db_.ObtenerConexion()->Errors();
    const std::string& ultimo = e.Item(e.Count() - 1).Description;
    EXPECT_EQ(ultimo.find("controlador ODBC de Access") != std::string::npos, prueba::ActualizadorWindows())
        << ultimo;
    // Without avisar a failure is reported to no one.
    avisos_.errores.clear();
    EXPECT_FALSE(
        Abrir("Driver={MariaDB Unicode};Socket=" + prueba::SocketMariaDB() + ".nadie;User=root;", false));
    EXPECT_TRUE(avisos_.errores.empty());
    EXPECT_TRUE(avisos_.textos.empty());
}

TEST_F(AbrirDBTest, UnaConexionCortadaSeReabreYRepiteLaSentencia) {
    // AbrirDB reads Valores, which another test may have dropped.
    Root("CREATE TABLE IF NOT EXISTS Valores (idVariable VARCHAR(50), Tipo INT, ValorTexto VARCHAR(255), "
         "ValorLargo INT)");
    ASSERT_TRUE(Abrir(CadenaMariaDB("User=root;")));
    int32_t antes = IdConexion();
    ASSERT_NE(antes, 0);
    struct Mensajes : platform::IMensajesPendientes {
        int veces = 0;
        Reemplazo enUso_{*this};
        void Procesar() override { ++veces; }
    } mensajes;
    Root("KILL " + std::to_string(antes));
    int64_t filas = 0;
    EXPECT_TRUE(db_.EjecutarSQL("SELECT 1", &filas, 0, true));
    EXPECT_NE(IdConexion(), antes);
    EXPECT_TRUE(avisos_.errores.empty());
    // A statement that is wrong on a live connection is not repeated; wrong
    // again after a reconnection, it is reported the same way.
    EXPECT_FALSE(db_.EjecutarSQL("SELEC 1", nullptr, 0, true));
    Root("KILL " + std::to_string(IdConexion()));
    EXPECT_FALSE(db_.EjecutarSQL("SELEC 1", nullptr, 0, true));
    const std::pair<int32_t, std::string> sintaxis{static_cast<int32_t>(0x80040E14u), "Error"};
    EXPECT_EQ(avisos_.errores, Errores({sintaxis, sintaxis}));
    EXPECT_EQ(mensajes.veces, 2); // once before each reopen
}

TEST_F(AbrirDBTest, UnServidorQueNoVuelveTerminaEnFalso) {
    Root("DROP USER IF EXISTS 'olvado_fugaz'@'localhost'");
    Root("CREATE USER 'olvado_fugaz'@'localhost' IDENTIFIED BY 'clave'");
    Root("GRANT ALL ON *.* TO 'olvado_fugaz'@'localhost'");
    ASSERT_TRUE(Abrir(CadenaMariaDB("User=olvado_fugaz;Password=clave;")));
    int32_t id = IdConexion();
    // The account goes and the session is cut: every reopen is refused.
    Root("DROP USER 'olvado_fugaz'@'localhost'");
    Root("KILL " + std::to_string(id));
    EXPECT_FALSE(db_.EjecutarSQL("SELECT 1", nullptr, 0, true));
    EXPECT_EQ(db_.ObtenerConexion(), nullptr);
    std::unique_ptr<ado::Recordset> rs;
    EXPECT_FALSE(db_.AbrirRs(rs, "SELECT 1", 3, 3, -1, true));
    EXPECT_FALSE(rs);
    EXPECT_FALSE(db_.vBeginTrans());
}

// A real Access file (written by the test support: no tool here writes one)
// read through the machine's Access driver, MDB Tools on Linux: DBINTERM is
// honoured, EXU/EXC and the package's version are read.
TEST_F(AbrirDBTest, ArchivoAccessReal) {
    auto T = [](const char* n) { return prueba::ColumnaMdb{n, prueba::kMdbTexto}; };
    auto L = [](const char* n) { return prueba::ColumnaMdb{n, prueba::kMdbLargo}; };
    const prueba::TablaMdb valores{"Valores",
                                   {T("idVariable"), L("Tipo"), T("ValorTexto"), L("ValorLargo")},
                                   {{"DBINTERM", "1", std::nullopt, "7"},
                                    {"EXU", "2", "usuario cifrado", "0"},
                                    {"EXC", "2", "clave cifrada", "-3"}}};
    const prueba::TablaMdb binarios{
        "BinariosAct",
        {T("Producto"), L("Major"), L("Minor"), L("Revision"), T("MD5Hash"), T("Firma")},
        {{"Otro", "9", "9", "9", "ff", std::nullopt},
         {"Olvado", "2", "5", "17", "0123456789abcdef", std::nullopt}}};
    const fs::path archivo = arbol_.Raiz() / "Olvado.mdb";
    prueba::EscribirArchivo(archivo, prueba::ArchivoMdb({valores, binarios}));
    // A file has no catalog: the entry names none (the MariaDB tests' would reach the driver).
    almacen_.Escribir({{"1", "prueba", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + archivo.string(), ""}});
    EXPECT_FALSE(db_.AbrirDB(true));
    ASSERT_NE(db_.ObtenerConexion(), nullptr);
    const ado::Errors& e = db_.ObtenerConexion()->Errors();
    const std::string ultimo = e.Count() ? e.Item(e.Count() - 1).Description : "";
    if (ultimo.find("No hay ningún controlador ODBC de Access") != std::string::npos)
        GTEST_SKIP() << ultimo;
    ASSERT_EQ(db_.ObtenerConexion()->State(), 1) << ultimo;
    ASSERT_EQ(avisos_.textos.size(), 1u);
    EXPECT_NE(avisos_.textos[0].find("actualización (#7)"), std::string::npos) << avisos_.textos[0];
    int32_t tipo = 0, largo = 0;
    std::string texto;
    ASSERT_TRUE(db_.Get_Variable("EXU", tipo, texto, largo));
    EXPECT_EQ(std::tie(tipo, texto, largo), std::make_tuple(2, std::string("usuario cifrado"), 0));
    ASSERT_TRUE(db_.Get_Variable("EXC", tipo, texto, largo));
    EXPECT_EQ(std::tie(tipo, texto, largo), std::make_tuple(2, std::string("clave cifrada"), -3));
    EXPECT_FALSE(db_.Get_Variable("NADA", tipo, texto, largo));
    std::unique_ptr<ado::Recordset> rs;
    ASSERT_TRUE(
        db_.AbrirRs(rs, "SELECT Major, Minor, Revision, MD5Hash FROM BinariosAct WHERE Producto = 'Olvado'",
                    3, 3, -1, true));
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Fields("Major").Value().AEntero() * 10000 + rs->Fields("Minor").Value().AEntero() * 100 +
                  rs->Fields("Revision").Value().AEntero(),
              20517);
    EXPECT_EQ(rs->Fields("MD5Hash").Value().ATexto(), "0123456789abcdef");
}

} // namespace
} // namespace olvado
