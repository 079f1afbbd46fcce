// The data layer against every engine: the same statements, T-SQL forms
// included, must behave alike on each.
#include "database/ado/Command.h"
#include "database/ado/Connection.h"
#include "database/ado/Proveedor.h"
#include "database/ado/Recordset.h"
#include "database/ado/Stream.h"
#include "database/basSQLSyntaxEngine.h"
#include "support/ErrorVisto.h"
#include "support/MotoresPrueba.h"

#include <gtest/gtest.h>

namespace olvado {
namespace {

using namespace ado;
using prueba::MotorPrueba;

const auto N = [](uint32_t numero) { return static_cast<int32_t>(numero); };

class AdoTest : public ::testing::TestWithParam<MotorPrueba> {
  protected:
    void SetUp() override {
        ASSERT_EQ(prueba::ErrorDe<ErrorAdo>([&] { cnx_.Open(GetParam().cadena); }), prueba::ErrorVisto());
        cnx_.Execute("DROP TABLE IF EXISTS Prueba");
        cnx_.Execute("CREATE TABLE Prueba (id " + GetParam().Autonumerico() +
                     ", nombre VARCHAR(50), n INT, dato " + GetParam().Blob() + ")");
    }
    // Static, with optimistic locks: as the program opens them.
    std::unique_ptr<Recordset> Abrir(const std::string& sql) {
        auto rs = std::make_unique<Recordset>();
        rs->Open(sql, cnx_, adOpenStatic, adLockOptimistic);
        return rs;
    }
    Connection cnx_;
};

TEST_P(AdoTest, AbreConElProveedorYElNombreDelMotor) {
    const auto& m = GetParam();
    EXPECT_EQ(std::make_tuple(cnx_.State(), cnx_.Provider(), cnx_.Properties("DBMS Name").ATexto(),
                              cnx_.DefaultDatabase()),
              std::make_tuple(adStateOpen, m.proveedor, m.dbms, m.catalogo));
    int32_t tipo = -1, dialecto = -1;
    EXPECT_TRUE(DetectarSintaxisSQL(cnx_, tipo, dialecto));
    EXPECT_EQ(std::tie(dialecto, tipo), std::make_tuple(m.dialecto, m.proveedor == "SQLite" ? 3 : 2));
    cnx_.Close();
    EXPECT_EQ(cnx_.State(), adStateClosed);
    EXPECT_THROW(cnx_.Execute("SELECT 1"), ErrorAdo);
}

TEST_P(AdoTest, LasFormasTSqlCorrenEnCadaMotor) {
    cnx_.Execute("INSERT INTO Prueba (nombre, n) VALUES ('b', 2)");
    cnx_.Execute("INSERT INTO Prueba (nombre, n) VALUES ('a', 1)");
    EXPECT_EQ(Abrir("SELECT @@IDENTITY as LastID;")->Fields("LastID").Value().AEntero(), 2);
    auto top = Abrir("SELECT TOP 1 nombre FROM Prueba ORDER BY n;");
    EXPECT_EQ(top->RecordCount(), 1);
    EXPECT_EQ(top->Fields("nombre").Value().ATexto(), "a");
    // The server's clock in both spellings.
    for (const char* sql : {"SELECT GETDATE() AS FechaHora;", "SELECT Now() AS FechaHora"})
        EXPECT_GE(Abrir(sql)->Fields("FechaHora").Value().AFecha().anio, 2024) << sql;
}

TEST_P(AdoTest, UnRecordsetEstaticoSeMueveYCuenta) {
    auto vacio = Abrir("SELECT id, nombre, n FROM Prueba");
    EXPECT_TRUE(vacio->Eof() && vacio->Bof());
    EXPECT_EQ(vacio->RecordCount(), 0);
    EXPECT_THROW(vacio->Fields("nombre").Value(), ErrorAdo);
    vacio->Close();
    EXPECT_EQ(vacio->State(), 0);

    cnx_.Execute("INSERT INTO Prueba (nombre, n) VALUES ('f1', 1), (NULL, 2), ('f3', 3)");
    auto rs = Abrir("SELECT nombre, n FROM Prueba ORDER BY n");
    EXPECT_TRUE(rs->Supports(adMovePrevious));
    EXPECT_EQ(rs->RecordCount(), 3);
    rs->MoveLast();
    EXPECT_EQ(rs->Fields("n").Value().AEntero(), 3);
    rs->MoveFirst();
    rs->MoveNext();
    EXPECT_TRUE(rs->Fields("nombre").Value().EsNulo());
    EXPECT_EQ(rs->Fields("nombre").ActualSize(), -1);
    auto matriz = rs->GetRows(-1, {"n"});
    ASSERT_EQ(matriz.size(), 1u);
    ASSERT_EQ(matriz[0].size(), 2u);
    EXPECT_EQ(matriz[0][1].AEntero(), 3);
    EXPECT_TRUE(rs->Eof());
    EXPECT_THROW(rs->MoveNext(), ErrorAdo);
    EXPECT_THROW(rs->Fields("no_existe"), ErrorAdo);
}

TEST_P(AdoTest, AddNewYUpdateEscribenFilasNuevasYCambiadas) {
    auto nueva = Abrir("SELECT TOP 1 id, nombre, n FROM Prueba");
    nueva->AddNew();
    nueva->Fields("nombre").SetValue(Valor("ñandú 'x'"));
    nueva->Fields("n").SetValue(Valor(7));
    nueva->Update();
    nueva->Close();
    auto leido = Abrir("SELECT id, nombre, n FROM Prueba");
    ASSERT_EQ(leido->RecordCount(), 1);
    EXPECT_EQ(leido->Fields("nombre").Value().ATexto(), "ñandú 'x'");
    leido->Fields("n").SetValue(Valor(8));
    leido->Update();
    leido->Close();
    EXPECT_EQ(Abrir("SELECT n FROM Prueba")->Fields("n").Value().AEntero(), 8);
}

TEST_P(AdoTest, UnaColumnaLargaSeLeePorPartes) {
    std::vector<uint8_t> datos(20000);
    for (size_t i = 0; i < datos.size(); ++i)
        datos[i] = static_cast<uint8_t>(i * 7 + i / 256);
    auto nuevo = Abrir("SELECT * FROM Prueba");
    nuevo->AddNew();
    nuevo->Fields("nombre").SetValue(Valor("blob"));
    nuevo->Fields("dato").SetValue(Valor(datos));
    nuevo->Update();
    nuevo->Close();
    cnx_.Execute("INSERT INTO Prueba (nombre, dato) VALUES ('nulo', NULL)");

    auto rs = Abrir("SELECT * FROM Prueba ORDER BY id");
    EXPECT_FALSE(rs->Supports(adMovePrevious)); // streams: no second copy
    EXPECT_EQ(rs->RecordCount(), -1);
    Field& f = rs->Fields("dato");
    EXPECT_EQ(f.ActualSize(), 20000);
    std::vector<uint8_t> leido;
    for (size_t trozo : {8192u, 8192u, 3616u}) {
        auto t = f.GetChunk(8192);
        EXPECT_EQ(t.size(), trozo);
        leido.insert(leido.end(), t.begin(), t.end());
    }
    EXPECT_EQ(leido, datos);
    EXPECT_TRUE(f.GetChunk(8192).empty());
    EXPECT_EQ(rs->Fields("nombre").Value().ATexto(), "blob");
    rs->MoveNext();
    EXPECT_EQ(rs->Fields("dato").ActualSize(), -1);
    EXPECT_TRUE(rs->Fields("dato").Value().EsNulo());
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
}

TEST_P(AdoTest, LosErroresLlevanElNumeroDeSuClase) {
    // The SQLite3 ODBC driver reports every failure as a general error (HY000), passed on as such.
    const bool general = GetParam().nombre == "SqliteOdbc";
    const auto e = prueba::ErrorDe<ErrorAdo>([&] { cnx_.Execute("SELEC mal escrito"); });
    EXPECT_EQ(e.numero, N(general ? 0x80004005u : 0x80040E14u));
    ASSERT_GE(cnx_.Errors().Count(), 1);
    EXPECT_EQ(cnx_.Errors()(0).Number, e.numero);
    EXPECT_FALSE(cnx_.Errors()(0).Description.empty());
    cnx_.Execute("INSERT INTO Prueba (id, nombre) VALUES (5, 'x')");
    const auto duplicada = [&] { cnx_.Execute("INSERT INTO Prueba (id, nombre) VALUES (5, 'y')"); };
    EXPECT_EQ(prueba::ErrorDe<ErrorAdo>(duplicada).numero, N(general ? 0x80004005u : 0x80040E2Fu));
    if (GetParam().nombre != "SqliteNativo")
        return;
    // A recursive view that outlasts the command time-out is a time-out error (bounded: no hang if not).
    cnx_.Execute("DROP VIEW IF EXISTS Eterna");
    cnx_.Execute("CREATE VIEW Eterna AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r "
                 "WHERE n < 100000000) SELECT n FROM r WHERE n < 0");
    cnx_.CommandTimeout = 1;
    const auto eterna = prueba::ErrorDe<ErrorAdo>([&] { Abrir("SELECT n FROM Eterna"); });
    cnx_.Execute("DROP VIEW Eterna");
    EXPECT_EQ(eterna.numero, N(0x80040E31u));
}

TEST_P(AdoTest, TransaccionesYComandos) {
    struct Eventos : EventosConexion {
        int nivel = 0, pendientes = 0, maximo = 0;
        void BeginTransComplete(int32_t n) override { nivel = n; }
        void RollbackTransComplete() override { --nivel; }
        void CommitTransComplete() override { --nivel; }
        void WillExecute() override { maximo = std::max(maximo, ++pendientes); }
        void ExecuteComplete() override { --pendientes; }
    } eventos;
    cnx_.EstablecerEventos(&eventos);
    EXPECT_EQ(cnx_.BeginTrans(), 1);
    EXPECT_EQ(eventos.nivel, 1);
    cnx_.Execute("INSERT INTO Prueba (nombre) VALUES ('deshecho')");
    cnx_.RollbackTrans();
    EXPECT_EQ(eventos.nivel, 0);
    cnx_.BeginTrans();
    Command cmd;
    cmd.CommandText = "INSERT INTO Prueba (nombre) VALUES ('hecho')";
    cmd.ActiveConnection = &cnx_;
    int64_t afectados = 0;
    cmd.Execute(&afectados);
    EXPECT_EQ(afectados, 1);
    cnx_.CommitTrans();
    EXPECT_EQ(std::tie(eventos.pendientes, eventos.maximo), std::make_tuple(0, 1));
    cnx_.EstablecerEventos(nullptr);
    auto rs = Abrir("SELECT nombre FROM Prueba");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Fields("nombre").Value().ATexto(), "hecho");
}

INSTANTIATE_TEST_SUITE_P(Motores, AdoTest, ::testing::ValuesIn(prueba::MotoresPrueba()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

TEST(AdoConexion, UnaConexionImposibleEsUnaFallaGeneral) {
    Connection cnx;
    std::string socket = prueba::SocketMariaDB() + ".no-existe";
    const auto sinServidor = [&] { cnx.Open("Driver={MariaDB Unicode};Socket=" + socket + ";User=root;"); };
    EXPECT_EQ(prueba::ErrorDe<ErrorAdo>(sinServidor).numero, N(0x80004005u));
    EXPECT_EQ(cnx.State(), adStateClosed);
    // The native provider: a missing file on Linux, "not available" on Windows.
    const auto e = prueba::ErrorDe<ErrorAdo>([&] {
        cnx.Open("Provider=SQLite;Data Source=" + std::string(OLVADO_BINARY_DIR) +
                 "/pruebas-db/no-existe.db");
    });
    const bool nativo = SqliteNativoDisponible();
    EXPECT_EQ(e.numero, N(nativo ? 0x80004005u : 0x800A0E7Au));
    EXPECT_TRUE(nativo || e.descripcion.find("no está disponible") != std::string::npos) << e.descripcion;
    const auto access = [&] { cnx.Open("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=x.accdb"); };
    EXPECT_EQ(prueba::ErrorDe<ErrorAdo>(access).numero, N(0x800A0E7Au));
}

} // namespace
} // namespace olvado
