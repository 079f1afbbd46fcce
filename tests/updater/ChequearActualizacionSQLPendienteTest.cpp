// The pending-update marks in the product's registry key.
#include "support/RegistroPrueba.h"

#include "common/clsStgComunes.h"
#include "platform/MessageBox.h"
#include "updater/ChequearActualizacionSQLPendiente.h"

#include <gtest/gtest.h>

using namespace olvado;

namespace {
struct Caja : platform::IMessageBox {
    std::vector<std::pair<std::string, std::string>> vistas;
    Reemplazo enUso_{*this};
    int32_t Mostrar(const std::string& t, int32_t e, const std::string& ti) override {
        EXPECT_EQ(e, platform::vbOKOnly | platform::vbExclamation);
        vistas.emplace_back(t, ti);
        return platform::vbOK;
    }
};
} // namespace

TEST(ChequearActualizacionSQLPendienteTest, MarcaDeActualizacionPendiente) {
    prueba::RegistroPrueba p;
    clsStgComunes c;
    c.EstablecerDatosCompania(p.Compania(), "Olvado");
    Caja caja;
    EXPECT_TRUE(ChequearActualizacionPendiente(c)); // no value
    MarcarActualizacionPendiente(c);
    Variante v;
    ASSERT_TRUE(c.Registro_GetValor("", "ActualizacionPendiente", v, 0));
    EXPECT_EQ(std::get<std::string>(v), "1"); // stored as text
    EXPECT_FALSE(ChequearActualizacionPendiente(c));
    ASSERT_EQ(caja.vistas.size(), 1u);
    EXPECT_EQ(caja.vistas[0].second, "Se requiere reiniciar el sistema");
    EXPECT_EQ(caja.vistas[0].first,
              "Parece que la última actualización no pudo completarse con éxito.\r\n\r\nFavor reinicie el equipo, "
              "luego asegúrese que no esté abierto ningun programa, incluyendo Olvado, e intente de nuevo.");
    EXPECT_TRUE(ChequearActualizacionPendiente(c)); // cleared: the next attempt goes on
    ASSERT_TRUE(c.Registro_GetValor("", "ActualizacionPendiente", v, 0));
    EXPECT_EQ(std::get<std::string>(v), "0");
    for (std::string otro : {"2", "sí", " 1x"}) {
        c.Registro_SetValor("", "ActualizacionPendiente", otro, 0);
        EXPECT_TRUE(ChequearActualizacionPendiente(c)) << otro;
    }
    c.Registro_SetValor("", "ActualizacionPendiente", std::string(" 1 "), 0);
    EXPECT_FALSE(ChequearActualizacionPendiente(c)); // a text that reads as 1
    EXPECT_EQ(caja.vistas.size(), 2u);
}
