// Every version test against records of the Windows versions it knows.
#include "process/WinVersion.h"
#include "platform/VersionSistema.h"
#include "process/EsWinSuperior.h"
#include "support/MensajesFalsos.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace olvado;
using platform::RegistroVersion;

namespace {

using Prop = bool (WinVersion::*)() const;
// The tables are laid out by hand.
// clang-format off
const std::map<std::string, Prop> kPropiedades = {
#define P(n) {#n, &WinVersion::n}
    P(IsWin95), P(IsWin95OSR2), P(IsWin98), P(IsWinME), P(IsWinNT4), P(IsWinNT4Plus), P(IsWinNT4Server),
    P(IsWinNT4Workstation), P(IsWin2000), P(IsWin2000Plus), P(IsWin2000Server), P(IsWin2000Workstation),
    P(IsWin2000AdvancedServer), P(IsDomainController), P(IsWinXP), P(IsWinXPPlus), P(IsWinXPSP2), P(IsWinXPSP3),
    P(IsWinXPHomeEdition), P(IsWinXPProEdition), P(IsWinXPEmbedded), P(IsWinXPMediaCenter), P(IsWinXPStarter),
    P(IsWinXPTabletPc), P(IsWin2003Server), P(IsWin2003ServerR2), P(IsBladeServer), P(IsBackOfficeServer),
    P(IsEnterpriseServer), P(IsSmallBusinessServer), P(IsSmallBusinessRestrictedServer), P(IsTerminalServer),
    P(IsWinVista), P(IsWinVistaPlus), P(IsWinLonghornServer), P(IsWin10Plus), P(IsWinEmbedded),
#undef P
};
// clang-format on

struct Caso {
    const char* nombre;
    RegistroVersion r;
    std::map<int32_t, int32_t> metricas;
    std::set<std::string> verdaderas;
};

RegistroVersion R(uint32_t plat, uint32_t ma, uint32_t mi, uint32_t build, uint8_t tipo = 0,
                  uint16_t suite = 0, std::string sp = "") {
    return {platform::kTamanoVersion, ma, mi, build, plat, sp, 0, 0, suite, tipo};
}

const std::set<std::string> kNT = {"IsWinNT4Plus"};
std::set<std::string> Mas(std::set<std::string> a, std::set<std::string> b) {
    a.insert(b.begin(), b.end());
    return a;
}
const std::set<std::string> kDesde2000 = Mas(kNT, {"IsWin2000Plus"});
const std::set<std::string> kDesdeXP = Mas(kDesde2000, {"IsWinXPPlus"});
const std::set<std::string> kDesdeVista = Mas(kDesdeXP, {"IsWinVistaPlus"});

} // namespace

TEST(WinVersionTest, CadaPropiedadSegunLaVersion) {
    // clang-format off
    const Caso casos[] = {
        {"95", R(1, 4, 0, 950), {}, {"IsWin95"}},
        {"95 OSR2", R(1, 4, 0, 1111), {}, {"IsWin95OSR2"}},
        {"98", R(1, 4, 10, 1998), {}, {"IsWin98"}},
        {"ME", R(1, 4, 90, 3000), {}, {"IsWinME"}},
        {"NT 4 Workstation", R(2, 4, 0, 1381, 1, 0, "Service Pack 6"), {},
         Mas(kNT, {"IsWinNT4", "IsWinNT4Workstation"})},
        {"NT 4 Server Enterprise", R(2, 4, 0, 1381, 3, 0x2), {},
         Mas(kNT, {"IsWinNT4", "IsWinNT4Server", "IsEnterpriseServer"})},
        {"2000 Professional", R(2, 5, 0, 2195, 1), {}, Mas(kDesde2000, {"IsWin2000", "IsWin2000Workstation"})},
        {"2000 Advanced Server", R(2, 5, 0, 2195, 3, 0x2 | 0x10), {},
         Mas(kDesde2000, {"IsWin2000", "IsWin2000Server", "IsWin2000AdvancedServer", "IsEnterpriseServer",
                          "IsTerminalServer"})},
        {"XP Home SP2", R(2, 5, 1, 2600, 1, 0x200, "Service Pack 2"), {},
         Mas(kDesdeXP, {"IsWinXP", "IsWinXPSP2", "IsWinXPHomeEdition"})},
        {"XP Professional SP3 Tablet", R(2, 5, 1, 2600, 1, 0, "Service Pack 3"), {{86, 1}},
         Mas(kDesdeXP, {"IsWinXP", "IsWinXPSP3", "IsWinXPProEdition", "IsWinXPTabletPc"})},
        {"XP Embedded Media Center Starter", R(2, 5, 1, 2600, 1, 0x40), {{87, 1}, {88, 1}},
         Mas(kDesdeXP, {"IsWinXP", "IsWinXPProEdition", "IsWinXPEmbedded", "IsWinXPMediaCenter",
                        "IsWinXPStarter", "IsWinEmbedded"})},
        {"2003 R2", R(2, 5, 2, 3790, 3, 0x400 | 0x4 | 0x1 | 0x20), {{89, 1}},
         Mas(kDesdeXP, {"IsWin2003Server", "IsWin2003ServerR2", "IsBladeServer", "IsBackOfficeServer",
                        "IsSmallBusinessServer", "IsSmallBusinessRestrictedServer"})},
        {"Vista", R(2, 6, 0, 6000, 1), {}, Mas(kDesdeVista, {"IsWinVista"})},
        {"Server 2008", R(2, 6, 0, 6001, 2, 0x2), {},
         Mas(kDesdeVista, {"IsWinVista", "IsWinLonghornServer", "IsWin2000AdvancedServer"})},
        {"7", R(2, 6, 1, 7601, 1, 0, "Service Pack 1"), {}, Mas(kDesdeVista, {"IsWinVista"})},
        {"8", R(2, 6, 2, 9200, 1), {}, Mas(kDesdeVista, {"IsWinVista"})},
        {"10", R(2, 10, 0, 19045, 1, 0x100), {}, Mas(kDesdeVista, {"IsWin10Plus"})},
    };
    // clang-format on
    for (const auto& c : casos) {
        prueba::VersionFalsa f;
        f.registro = c.r;
        f.metricas = c.metricas;
        WinVersion v;
        for (const auto& [nombre, prop] : kPropiedades)
            EXPECT_EQ((v.*prop)(), c.verdaderas.count(nombre) == 1)
                << "Windows " << c.nombre << ": " << nombre;
        EXPECT_EQ(EsWin2K_Superior(), c.verdaderas.count("IsWin2000Plus") == 1) << c.nombre;
        EXPECT_EQ(EsWinXP_Superior(), c.verdaderas.count("IsWinXPPlus") == 1) << c.nombre;
    }
}

TEST(WinVersionTest, UnaLlamadaFallidaEsFalsoYCadaPruebaLeeDeNuevo) {
    prueba::VersionFalsa f;
    f.registro = R(2, 5, 0, 2195, 3);
    WinVersion v;
    EXPECT_TRUE(v.IsWin2000Server());
    EXPECT_EQ(f.tamanos, (std::vector<uint32_t>{148, 156})); // the requirement, then the extended record
    EXPECT_TRUE(v.IsWin2000Server());
    EXPECT_EQ(f.tamanos.size(), 4u);   // nothing cached
    for (int32_t respuesta : {0, 2}) { // only exactly 1 counts as success
        f.respuesta = respuesta;
        EXPECT_FALSE(EsWin2K_Superior());
        EXPECT_FALSE(v.IsWinNT4Plus());
        EXPECT_FALSE(v.IsWinXPProEdition());
    }
}
