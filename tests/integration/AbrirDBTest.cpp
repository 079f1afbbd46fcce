// AbrirDB on bad input, and the reconnection of a connection that the
// MariaDB server drops (the server ends the session as a restart does).
#include "database/ConfigConexion.h"
#include "database/clsDB.h"
#include "platform/Entorno.h"
#include "platform/MensajesPendientes.h"
#include "platform/MessageBox.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/MotoresPrueba.h"

#include <gtest/gtest.h>

namespace olvado {
namespace {

struct Avisos : platform::IMessageBox, IMostrarErrores {
    std::vector<std::pair<int32_t, std::string>> errores;
    int cajas = 0;
    int32_t Mostrar(const std::string&, int32_t, const std::string&) override { return ++cajas, platform::vbOK; }
    void MostrarERRExt(int32_t n, const std::string& fuente, const std::string& explicacion) override {
        EXPECT_EQ(explicacion, "");
        errores.emplace_back(n, fuente);
    }
};

std::string CadenaMariaDB(const std::string& credenciales) {
    return "Driver={MariaDB Unicode};Socket=" + prueba::SocketMariaDB() +
           ";Database=" + platform::LeerVariableEntorno("OLVADO_TEST_MARIADB_DB") + ";" + credenciales;
}

class AbrirDBTest : public ::testing::Test {
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
    void Root(const std::string& sql) {
        ado::Connection root;
        root.Open(CadenaMariaDB("User=root;"));
        root.Execute(sql);
    }

    prueba::ArbolPrueba arbol_;
    prueba::AlmacenPrueba almacen_;
    Avisos avisos_;
    platform::IMessageBox::Reemplazo avisosEnUso_{avisos_};
    ConfigConexion config_;
    clsDB db_{&avisos_, &config_};
};

TEST_F(AbrirDBTest, EntradasQueNoAbren) {
    using Par = std::pair<int32_t, std::string>;
    EXPECT_FALSE(Abrir("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=x.accdb"));
    EXPECT_EQ(avisos_.errores, (std::vector<Par>{{static_cast<int32_t>(0x800A0E7Au), "Olvado"}}));
    ASSERT_NE(db_.ObtenerConexion(), nullptr);
    EXPECT_EQ(db_.ObtenerConexion()->State(), 0);

    avisos_.errores.clear();
    EXPECT_FALSE(Abrir(CadenaMariaDB("User=root;Password=equivocada;")));
    EXPECT_EQ(avisos_.errores, (std::vector<Par>{{static_cast<int32_t>(0x80004005u), "Olvado"}}));

    avisos_.errores.clear();
    EXPECT_FALSE(Abrir("Driver={MariaDB Unicode};Socket=" + prueba::SocketMariaDB() + ".nadie;User=root;"));
    EXPECT_EQ(avisos_.errores, (std::vector<Par>{{static_cast<int32_t>(0x80004005u), "Olvado"}}));
    avisos_.errores.clear();
    EXPECT_FALSE(Abrir("Driver={MariaDB Unicode};Socket=" + prueba::SocketMariaDB() + ".nadie;User=root;", false));
    EXPECT_TRUE(avisos_.errores.empty());

    // No connection string at all (an entry without it, or one that
    // deciphers to nothing): False at once, without a message.
    EXPECT_FALSE(Abrir(""));
    almacen_.EscribirTexto("<?xml version=\"1.0\"?><C><E id=\"1\" CadenaConexion=\"0A1B2C3D4E\"/></C>");
    clsDB otra(&avisos_, &config_);
    EXPECT_FALSE(otra.AbrirDB(true));
    EXPECT_EQ(otra.ObtenerConexion(), nullptr);
    EXPECT_TRUE(avisos_.errores.empty());
    EXPECT_EQ(avisos_.cajas, 0);
}

TEST_F(AbrirDBTest, UnaConexionCortadaSeReabreYRepiteLaSentencia) {
    // AbrirDB reads Valores; a fresh database (or one that another test left
    // without it) would report its absence.
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
    EXPECT_EQ(avisos_.errores, (std::vector<std::pair<int32_t, std::string>>{sintaxis, sintaxis}));
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

} // namespace
} // namespace olvado
