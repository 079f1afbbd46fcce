#include "admin/DatosFlota.h"
#include "admin/InformeHtml.h"

#include <gtest/gtest.h>

using namespace olvado::admin;

namespace {

// Three workstations over the turn of February in a leap year; 1.0.70 is
// published (the highest version of the history is 2.0.0: the published one
// is the report's).
DatosFlota Flota(int32_t dias, VersionFlota ultima = {1, 0, 70}) {
    return DatosFlota({{"b", "u", "piloto", "al dia", "2024-02-28 23:59:59", {1, 0, 66}},
                       {"a", "u", "", "al dia", "2024-02-20 08:00:00", {1, 0, 66}},
                       {"b", "u", "piloto", "instalando", "2024-02-29 00:00:00", {1, 0, 70}},
                       {"c", "u", "", "firma no valida", "2024-03-01 10:00:00", {1, 0, 66}},
                       {"c", "u", "piloto", "al dia", "2024-03-09 10:00:00", {2, 0, 0}}, // clock ahead
                       {"x", "u", "", "al dia", "fecha rota", {9, 9, 9}}},
                      ultima, "2024-03-02 12:00:00", dias);
}

TEST(DatosFlotaTest, UltimaEjecucionVersionesYAnillos) {
    const DatosFlota d = Flota(7);
    ASSERT_EQ(d.Ultimas().size(), 3u); // the row without a date is left out
    EXPECT_EQ(d.Ultimas()[2].version, (VersionFlota{2, 0, 0}));
    EXPECT_EQ(d.Anillos(), (std::vector<std::string>{"", "piloto"}));
    const auto porVersion = d.PorVersion();
    EXPECT_EQ(porVersion.begin()->first, (VersionFlota{2, 0, 0}));
    EXPECT_EQ(porVersion.at({1, 0, 70}).at("piloto"), 1);
    EXPECT_EQ(Flota(7, {0, 0, 0}).Ultima(), (VersionFlota{2, 0, 0}));
    // Absent more than the given days (a: 11), not exactly that many.
    EXPECT_EQ(Flota(11).SinVer().size(), 0u);
    ASSERT_EQ(Flota(10).SinVer().size(), 1u);
    EXPECT_EQ(Flota(10).SinVer()[0].estacion, "a");
}

TEST(DatosFlotaTest, DespliegueDiaADia) {
    const auto dias = Flota(7).Despliegue();
    // From the day before 1.0.70 first showed to today, each workstation in
    // its present ring; the run dated ahead counts on the last day.
    ASSERT_EQ(dias.size(), 4u);
    const std::pair<const char*, int> esperado[] = {{"2024-02-28", 0}, {"2024-02-29", 1}, {"2024-03-01", 1},
                                                    {"2024-03-02", 2}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(dias[i].fecha, esperado[i].first);
        EXPECT_EQ(dias[i].enUltima.at("piloto"), esperado[i].second) << dias[i].fecha;
        EXPECT_EQ(dias[i].enUltima.at(""), 0) << dias[i].fecha;
    }
    EXPECT_EQ(dias[0].conocidas, 2);
    EXPECT_EQ(dias[2].conocidas, 3);
    EXPECT_EQ(Flota(7).Despliegue(2).front().fecha, "2024-03-01");
}

TEST(DatosFlotaTest, FechasCivilesYTextoEscapado) {
    int64_t dia = 0;
    ASSERT_TRUE(DatosFlota::DiaCivil("1970-01-01", dia));
    EXPECT_EQ(dia, 0);
    ASSERT_TRUE(DatosFlota::DiaCivil("2000-03-01 00:00:00", dia));
    EXPECT_EQ(DatosFlota::TextoDia(dia - 1), "2000-02-29");
    EXPECT_EQ(DatosFlota::TextoDia(dia + 365), "2001-03-01");
    for (const char* mala : {"2024-13-01", "2024-1-01", "24-01-01", "", "2024-01-3x"})
        EXPECT_FALSE(DatosFlota::DiaCivil(mala, dia)) << mala;
    EXPECT_EQ(InformeHtml::Escapar("<a href=\"x\">'&'</a>\x01"),
              "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;\xEF\xBF\xBD");
}

} // namespace
