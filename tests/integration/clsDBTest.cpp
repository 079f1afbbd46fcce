// The database object against every engine, opened through a real store.
#include "database/ConfigConexion.h"
#include "database/clsDB.h"
#include "platform/MessageBox.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/MotoresPrueba.h"
#include "support/ShellFalso.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

namespace olvado {
namespace {

using prueba::MotorPrueba;

struct Mensajes : platform::IMessageBox, IMostrarErrores {
    std::vector<std::string> textos, titulos;
    std::vector<int32_t> numeros;
    int32_t Mostrar(const std::string& texto, int32_t, const std::string& titulo) override {
        textos.push_back(texto), titulos.push_back(titulo);
        return platform::vbOK;
    }
    void MostrarERRExt(int32_t n, const std::string& fuente, const std::string&) override {
        numeros.push_back(n), titulos.push_back(fuente);
    }
};

std::vector<uint8_t> Bytes(size_t n, uint32_t semilla) {
    std::vector<uint8_t> b(n);
    std::mt19937 g(semilla);
    for (auto& x : b)
        x = static_cast<uint8_t>(g());
    return b;
}

std::vector<uint8_t> Leer(const std::string& ruta) {
    std::ifstream f(std::filesystem::u8path(ruta), std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

class clsDBTest : public ::testing::TestWithParam<MotorPrueba> {
protected:
    void SetUp() override {
        {
            // Fresh tables before the object opens: AbrirDB reads Valores.
            ado::Connection c;
            c.Open(GetParam().cadena);
            c.Execute("DROP TABLE IF EXISTS Valores");
            c.Execute("CREATE TABLE Valores (idVariable VARCHAR(50), Tipo INT, ValorTexto VARCHAR(255), "
                      "ValorLargo INT)");
            c.Execute("DROP TABLE IF EXISTS Paquetes");
            c.Execute("CREATE TABLE Paquetes (id " + GetParam().Autonumerico() + ", Nombre VARCHAR(50), Binario " +
                      GetParam().Blob() + ")");
        }
        almacen_.Escribir({{"1", GetParam().nombre, GetParam().cadena, GetParam().catalogo, "1"}});
        ASSERT_TRUE(db_.AbrirDB(true));
    }

    // Writes bytes as a new package row through Archivo_A_BLOB.
    void GuardarPaquete(const std::string& nombre, const std::string& archivo) {
        std::unique_ptr<ado::Recordset> rs;
        ASSERT_TRUE(db_.AbrirRs(rs, "SELECT TOP 1 * FROM Paquetes", 3, 3, -1, true));
        rs->AddNew();
        rs->Fields("Nombre").SetValue(ado::Valor(nombre));
        ASSERT_TRUE(db_.Archivo_A_BLOB(rs->Fields("Binario"), archivo));
        rs->Update();
    }

    prueba::ArbolPrueba arbol_;
    prueba::AlmacenPrueba almacen_;
    Mensajes mensajes_;
    platform::IMessageBox::Reemplazo mensajesEnUso_{mensajes_};
    ConfigConexion config_;
    clsDB db_{&mensajes_, &config_};
};

TEST_P(clsDBTest, AbreDetectaYCuenta) {
    EXPECT_EQ(db_.SintaxisSQL(), GetParam().dialecto);
    EXPECT_TRUE(mensajes_.textos.empty() && mensajes_.numeros.empty());
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
}

TEST_P(clsDBTest, DbIntermImpideAbrirYDejaLaConexion) {
    ASSERT_TRUE(db_.Set_Variable("DBINTERM", 1, "", 7));
    clsDB otra(&mensajes_, &config_);
    EXPECT_FALSE(otra.AbrirDB(true));
    ASSERT_EQ(mensajes_.textos.size(), 1u);
    EXPECT_EQ(mensajes_.titulos.back(), "No se puede abrir Base de Datos");
    EXPECT_EQ(mensajes_.textos[0], "La Base de Datos Olvado está en medio de un proceso de actualización (#7)\r\n\r\n"
                                   "Favor espere a que se complete la actualización de Olvado en el servidor e "
                                   "intente nuevamente.");
    ASSERT_NE(otra.ObtenerConexion(), nullptr);
    EXPECT_EQ(otra.ObtenerConexion()->State(), 1);
}

// The report of the connection's errors, opened with "Open" in a normal window.
TEST_P(clsDBTest, MostrarErroresDBEscribeYAbreElInforme) {
    prueba::ShellFalso shell;
    EXPECT_FALSE(db_.EjecutarSQL("SELECT * FROM NoExiste", nullptr, 0, false));
    db_.MostrarErroresDB(7);
    ASSERT_EQ(shell.peticiones.size(), 1u);
    const auto& p = shell.peticiones[0];
    EXPECT_EQ(std::tie(p.verbo, p.ventana, p.mostrar), std::make_tuple("Open", 7, 1));
    const std::string texto = prueba::LeerArchivo(std::filesystem::u8path(p.archivo));
    std::filesystem::remove(std::filesystem::u8path(p.archivo));
    EXPECT_TRUE(p.archivo.ends_with("Olvado_Errores_DB.txt") && texto.ends_with("\r\n\r\n")) << texto;
}

TEST_P(clsDBTest, VariablesGuardadas) {
    int32_t tipo = -1, largo = -1;
    std::string texto = "previo";
    EXPECT_FALSE(db_.Get_Variable("EXU", tipo, texto, largo));
    ASSERT_TRUE(db_.EjecutarSQL("INSERT INTO Valores VALUES ('EXU', 4, NULL, 9)"));
    EXPECT_TRUE(db_.Get_Variable("EXU", tipo, texto, largo));
    EXPECT_EQ(tipo, 4);
    EXPECT_EQ(texto, "");
    EXPECT_EQ(largo, 9);
    // Replaced, not added: delete then insert.
    EXPECT_TRUE(db_.Set_Variable("EXU", 5, "O'Brien", 10));
    int64_t filas = 0;
    ASSERT_TRUE(db_.EjecutarSQL("UPDATE Valores SET ValorLargo = ValorLargo + 1 WHERE idVariable = 'EXU'", &filas));
    EXPECT_EQ(filas, 1);
    EXPECT_TRUE(db_.Get_Variable("EXU", tipo, texto, largo));
    EXPECT_EQ(largo, 11);
    EXPECT_EQ(tipo, 5);
    EXPECT_EQ(texto, "O'Brien"); // values are parameters: no quoting rule applies
    // A Null in ValorLargo raises the conversion error to the caller.
    ASSERT_TRUE(db_.EjecutarSQL("INSERT INTO Valores VALUES ('NUL', 1, 'x', NULL)"));
    EXPECT_THROW(db_.Get_Variable("NUL", tipo, texto, largo), ErrorOlvado);
}

TEST_P(clsDBTest, LastInsertIdDelMotor) {
    std::unique_ptr<ado::Recordset> rs;
    ASSERT_TRUE(db_.EjecutarSQL("INSERT INTO Paquetes (Nombre) VALUES ('a')"));
    ASSERT_TRUE(db_.AbrirRs(rs, "SELECT TOP 1 id, Nombre FROM Paquetes", 3, 3, -1, true));
    rs->AddNew();
    rs->Fields("Nombre").SetValue(ado::Valor("b"));
    rs->Update();
    EXPECT_EQ(db_.LastInsertID(*rs, "id"), 2);
}

TEST_P(clsDBTest, BlobAArchivoYDeVuelta) {
    std::string origen = (arbol_.Temporal() / "origen.bin").string();
    auto datos = Bytes(20000, 1);
    std::ofstream(origen, std::ios::binary).write(reinterpret_cast<const char*>(datos.data()), 20000);
    GuardarPaquete("p", origen);

    // An existing longer file is written over from the start, not emptied.
    std::string destino = (arbol_.Temporal() / "destino.bin").string();
    auto previo = Bytes(30000, 2);
    std::ofstream(destino, std::ios::binary).write(reinterpret_cast<const char*>(previo.data()), 30000);
    std::unique_ptr<ado::Recordset> rs;
    ASSERT_TRUE(db_.AbrirRs(rs, "SELECT * FROM Paquetes WHERE Nombre='p'", 3, 3, -1, true));
    ASSERT_TRUE(db_.BLOB_a_Archivo(rs->Fields("Binario"), destino));
    auto escrito = Leer(destino);
    ASSERT_EQ(escrito.size(), 30000u);
    EXPECT_TRUE(std::equal(datos.begin(), datos.end(), escrito.begin()));
    EXPECT_TRUE(std::equal(previo.begin() + 20000, previo.end(), escrito.begin() + 20000));

    // Without a name: a new temporary file, its name handed back.
    ASSERT_TRUE(db_.AbrirRs(rs, "SELECT * FROM Paquetes WHERE Nombre='p'", 3, 3, -1, true));
    std::string temporal;
    ASSERT_TRUE(db_.BLOB_a_Archivo(rs->Fields("Binario"), temporal));
    EXPECT_EQ(Leer(temporal), datos);
    std::filesystem::remove(std::filesystem::u8path(temporal));

    EXPECT_FALSE(db_.Archivo_A_BLOB(rs->Fields("Binario"), origen + ".no-existe"));
    EXPECT_EQ(mensajes_.titulos.back(), "Error");
}

TEST_P(clsDBTest, CienMiBExactosIdaYVuelta) {
    std::string origen = (arbol_.Temporal() / "grande.bin").string();
    {
        auto datos = Bytes(100u << 20, 3);
        std::ofstream(origen, std::ios::binary)
            .write(reinterpret_cast<const char*>(datos.data()), static_cast<std::streamsize>(datos.size()));
    }
    GuardarPaquete("grande", origen);
    std::unique_ptr<ado::Recordset> rs;
    ASSERT_TRUE(db_.AbrirRs(rs, "SELECT * FROM Paquetes WHERE Nombre='grande'", 3, 3, -1, true));
    std::string destino = (arbol_.Temporal() / "vuelta.bin").string();
    ASSERT_TRUE(db_.BLOB_a_Archivo(rs->Fields("Binario"), destino));
    EXPECT_TRUE(Leer(destino) == Leer(origen));
}

INSTANTIATE_TEST_SUITE_P(Motores, clsDBTest, ::testing::ValuesIn(prueba::MotoresPrueba()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

} // namespace
} // namespace olvado
