// The start-up sequence's service objects against every engine: creating
// them opens the database from the store, and the server's clock is read
// as an instant and handed to the clock interface when it is more than five
// minutes away and the system and the workstation allow it.
#include "updater/Core.h"
#include "platform/Reloj.h"
#include "support/ActualizadorPrueba.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/MensajesFalsos.h"
#include "support/MotoresPrueba.h"

#include <ctime>

#include <gtest/gtest.h>

namespace olvado {
namespace {

constexpr int64_t k2001 = 978307200; // 2001-01-01 00:00:00 UTC

struct RelojFijo : platform::IReloj {
    int64_t ahora = k2001;
    bool sincronizado = false;
    std::vector<int64_t> puestas;
    int64_t AhoraUtc() override { return ahora; }
    bool Sincronizado() override { return sincronizado; }
    bool EstablecerUtc(int64_t instante) override {
        puestas.push_back(instante);
        return false; // as without the right to change the time
    }
};

class CoreTest : public ::testing::TestWithParam<prueba::MotorPrueba> {
  protected:
    void SetUp() override { prueba::CrearTablas(GetParam(), false); } // AbrirDB reads Valores
    void TearDown() override { CerrarObjetos(); }
    bool Crear(const std::string& optimizar) {
        almacen_.Escribir({{"1", "prueba", GetParam().cadena, GetParam().catalogo, optimizar}});
        return CrearObjetos();
    }

    prueba::ArbolPrueba arbol_;
    prueba::AlmacenPrueba almacen_;
    prueba::EventosFalsos eventos_;
    RelojFijo reloj_;
    platform::IReloj::Reemplazo relojEnUso_{reloj_};
};

// The server's UTC against the workstation's, whatever the server's own time
// zone (here 13 hours ahead); SQLite files keep no clock of their own.
TEST_P(CoreTest, CrearObjetosAbreYSincronizaElReloj) {
    const bool servidor = GetParam().dialecto == 2;
    if (servidor)
        prueba::EjecutarSql(GetParam().cadena, "SET GLOBAL time_zone = '+13:00'");
    const bool creado = Crear("0");
    if (servidor)
        prueba::EjecutarSql(GetParam().cadena, "SET GLOBAL time_zone = 'SYSTEM'");
    ASSERT_TRUE(creado);
    ASSERT_TRUE(Servicios().DB && Servicios().SQL);
    const int64_t ahora = std::time(nullptr);
    ASSERT_EQ(reloj_.puestas.size(), servidor ? 1u : 0u);
    ASSERT_EQ(eventos_.vistos.size(), servidor ? 1u : 0u);
    if (!servidor)
        return;
    EXPECT_NEAR(reloj_.puestas[0], ahora, 60);
    EXPECT_EQ(eventos_.vistos[0].Mensaje, "No se pudo cambiar la hora del sistema por la de la base de datos (equipo "
                                          "2001-01-01 00:00:00 UTC, base de datos " +
                                              platform::TextoUtc(reloj_.puestas[0]) + ")");
    // Within five minutes nothing is set. A clock the system keeps, a
    // workstation that requires signed packages, or no Sincronizar: never
    // set either, and the system's log says why.
    reloj_.ahora = ahora + 240;
    FechaHoraServidor(true);
    reloj_.ahora = k2001;
    reloj_.sincronizado = true;
    FechaHoraServidor(true);
    reloj_.sincronizado = false;
    clsStgComunes comunes;
    comunes.Registro_SetValor("", "ClavePublicaPaquetes", std::string("clave"), 0);
    FechaHoraServidor(true);
    comunes.Registro_SetValor("", "ClavePublicaPaquetes", std::string(), 0);
    FechaHoraServidor(false);
    EXPECT_EQ(reloj_.puestas.size(), 1u);
    ASSERT_EQ(eventos_.vistos.size(), 3u);
    EXPECT_NE(eventos_.vistos[1].Mensaje.find("mantiene el reloj sincronizado"), std::string::npos);
    EXPECT_NE(eventos_.vistos[2].Mensaje.find("exige paquetes firmados"), std::string::npos);
    CerrarObjetos();
    EXPECT_FALSE(Servicios().DB || Servicios().SQL);
    // Without a database the workstation's own time comes back.
    EXPECT_EQ(FechaHoraServidor(true).Anio, 2001);
}

TEST_P(CoreTest, UnaConexionRemotaOptimizadaNoTocaElReloj) {
    ASSERT_TRUE(Crear("1"));
    EXPECT_TRUE(reloj_.puestas.empty());
    std::unique_ptr<ado::Recordset> rs;
    EXPECT_TRUE(AbrirConsulta(rs, "SELECT * FROM Valores"));
    EXPECT_FALSE(AbrirConsulta(rs, "SELECT * FROM NoExiste"));
    // The dialect engine follows the common utilities' separators and masks
    // as they are when it is called (a Spanish locale's, here).
    Servicios().Comunes->sSepDecimal = ",";
    Servicios().Comunes->sSepMillar = ".";
    Servicios().Comunes->sDefaultMascaraFechaCorta = std::string("dd/mm/yyyy");
    EXPECT_EQ(Servicios().SQL->CampoMoneda("1.234,50"), "1234.50");
    Servicios().SQL->SintaxisSQL(0);
    EXPECT_EQ(Servicios().SQL->FormatoFecha("F", "", true), " Format( F, 'dd/mm/yyyy' )");
}

INSTANTIATE_TEST_SUITE_P(Motores, CoreTest, ::testing::ValuesIn(prueba::MotoresPrueba()),
                         [](const auto& info) { return prueba::NombreMotor(info.param); });

} // namespace
} // namespace olvado
