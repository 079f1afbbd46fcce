// The pending-update marks in the product's registry key.
#include "support/RegistroPrueba.h"

#include "common/clsStgComunes.h"
#include "support/MensajesFalsos.h"
#include "updater/ChequearActualizacionSQLPendiente.h"

#include <gtest/gtest.h>

using namespace olvado;

TEST(ChequearActualizacionSQLPendienteTest, MarcaDeActualizacionPendiente) {
    prueba::RegistroPrueba p;
    clsStgComunes c;
    c.EstablecerDatosCompania(p.Compania(), "Olvado");
    prueba::MensajesFalsos caja;
    EXPECT_TRUE(ChequearActualizacionPendiente(c)); // no value
    MarcarActualizacionPendiente(c);
    Variante v;
    ASSERT_TRUE(c.Registro_GetValor("", "ActualizacionPendiente", v, 0));
    EXPECT_EQ(std::get<std::string>(v), "1"); // stored as text
    EXPECT_FALSE(ChequearActualizacionPendiente(c));
    ASSERT_EQ(caja.Cantidad(), 1u);
    EXPECT_EQ(caja.Ultimo().estilo, platform::vbOKOnly | platform::vbExclamation);
    EXPECT_EQ(caja.Ultimo().titulo, "Se requiere reiniciar el sistema");
    EXPECT_EQ(caja.Ultimo().texto,
              "Parece que la última actualización no pudo completarse con éxito.\r\n\r\nFavor reinicie el "
              "equipo, luego asegúrese que no esté abierto ningun programa, incluyendo Olvado, e intente de "
              "nuevo.");
    EXPECT_TRUE(ChequearActualizacionPendiente(c)); // cleared: the next attempt goes on
    ASSERT_TRUE(c.Registro_GetValor("", "ActualizacionPendiente", v, 0));
    EXPECT_EQ(std::get<std::string>(v), "0");
    // Only a text that reads as 1 is a pending update.
    for (const auto& [valor, sigue] :
         {std::pair<std::string, bool>{"2", true}, {"sí", true}, {" 1x", true}, {" 1 ", false}}) {
        c.Registro_SetValor("", "ActualizacionPendiente", valor, 0);
        EXPECT_EQ(ChequearActualizacionPendiente(c), sigue) << valor;
    }
    EXPECT_EQ(caja.Cantidad(), 2u);
}
