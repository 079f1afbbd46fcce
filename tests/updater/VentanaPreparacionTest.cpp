#include "updater/VentanaPreparacion.h"

#include <gtest/gtest.h>

namespace olvado {
namespace {

// Windows read as the administrator writes them, crossing midnight too; every
// draw lands inside; bad text is refused and leaves the window as it was.
TEST(VentanaPreparacion, LeeLaVentanaYSorteaDentroDeElla) {
    const struct {
        const char* texto;
        int32_t inicio, duracion;
        const char* primera; // Minuto(0)
        const char* ultima;  // Minuto(duracion - 1)
    } buenas[] = {{"01:00-05:00", 60, 240, "01:00", "04:59"},
                  {" 23:30 - 00:15 ", 1410, 45, "23:30", "00:14"},
                  {"00:00-23:59", 0, 1439, "00:00", "23:58"},
                  {"05:00-04:59", 300, 1439, "05:00", "04:58"}};
    for (const auto& b : buenas) {
        VentanaPreparacion v;
        std::string motivo;
        ASSERT_TRUE(v.Leer(b.texto, motivo)) << b.texto << ": " << motivo;
        EXPECT_EQ(std::make_pair(v.Inicio(), v.Duracion()), std::make_pair(b.inicio, b.duracion)) << b.texto;
        EXPECT_EQ(VentanaPreparacion::Hora(v.Minuto(0)), b.primera) << b.texto;
        EXPECT_EQ(VentanaPreparacion::Hora(v.Minuto(uint64_t(b.duracion) - 1)), b.ultima) << b.texto;
        EXPECT_EQ(v.Minuto(uint64_t(b.duracion) * 1000003 + 7), v.Minuto(7)) << b.texto;
    }

    VentanaPreparacion v;
    std::string motivo;
    ASSERT_TRUE(v.Leer("22:00-02:00", motivo));
    for (const char* mala : {"", "01:00", "1:00-05:00", "01:00-05:60", "24:00-05:00", "01:00-05:00-06:00",
                             "01:00/05:00", "01:00-01:00", "0a:00-05:00", "+1:00-05:00"}) {
        EXPECT_FALSE(v.Leer(mala, motivo)) << mala;
        EXPECT_NE(motivo.find(mala), std::string::npos) << motivo;
        EXPECT_EQ(std::make_pair(v.Inicio(), v.Duracion()), std::make_pair(22 * 60, 240)) << mala;
    }
}

} // namespace
} // namespace olvado
