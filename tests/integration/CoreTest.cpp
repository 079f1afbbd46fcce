// The start-up sequence's service objects against every engine: creating
// them opens the database from the store, and the server's clock is read
// and handed to the clock interface when it is more than five minutes away.
#include "updater/Core.h"
#include "platform/Reloj.h"
#include "support/ActualizadorPrueba.h"
#include "support/AlmacenPrueba.h"
#include "support/ArbolPrueba.h"
#include "support/MotoresPrueba.h"

#include <gtest/gtest.h>

namespace olvado {
namespace {

struct RelojFijo : platform::IReloj {
    platform::FechaHoraLocal ahora{2001, 1, 1, 0, 0, 0};
    std::vector<platform::FechaHoraLocal> puestas;
    platform::FechaHoraLocal Ahora() override { return ahora; }
    bool Establecer(const platform::FechaHoraLocal& f) override {
        puestas.push_back(f);
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
    RelojFijo reloj_;
    platform::IReloj::Reemplazo relojEnUso_{reloj_};
};

TEST_P(CoreTest, CrearObjetosAbreYSincronizaElReloj) {
    ASSERT_TRUE(Crear("0"));
    ASSERT_TRUE(Servicios().DB && Servicios().SQL);
    // AbrirDB asked for the server's time and set the clock from it.
    ASSERT_EQ(reloj_.puestas.size(), 1u);
    EXPECT_GE(reloj_.puestas[0].Anio, 2024);
    // Within five minutes (the server's own time) nothing is set; without Sincronizar neither.
    reloj_.ahora = reloj_.puestas[0];
    EXPECT_GE(FechaHoraServidor(true).Anio, 2024);
    reloj_.ahora = {2001, 1, 1, 0, 0, 0};
    FechaHoraServidor(false);
    EXPECT_EQ(reloj_.puestas.size(), 1u);
    CerrarObjetos();
    EXPECT_FALSE(Servicios().DB || Servicios().SQL);
    // Without a database the local time comes back.
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
