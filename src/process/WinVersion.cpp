#include "process/WinVersion.h"

#include "platform/VersionSistema.h"

#include <functional>

namespace olvado {
namespace {

using platform::RegistroVersion;
using Condicion = std::function<bool(const RegistroVersion&)>;

bool Leer(RegistroVersion& r, uint32_t tamano) {
    r = RegistroVersion{};
    r.Tamano = tamano;
    return platform::IVersionSistema::Actual().ObtenerVersion(r) == 1;
}

// A test on the short record.
bool Corto(const Condicion& c) {
    RegistroVersion r;
    return Leer(r, platform::kTamanoVersion) && c(r);
}

// A test on the extended record, asked only when its requirement holds.
bool Extendido(bool requisito, const Condicion& c) {
    RegistroVersion r;
    return requisito && Leer(r, platform::kTamanoVersionEx) && c(r);
}

bool Metrica(int32_t indice) { return platform::IVersionSistema::Actual().MetricaSistema(indice) != 0; }

bool Es(const RegistroVersion& r, uint32_t plataforma, uint32_t major, uint32_t minor) {
    return r.Plataforma == plataforma && r.Major == major && r.Minor == minor;
}

bool Suite(const RegistroVersion& r, uint16_t bit) { return (r.Suite & bit) != 0; }

constexpr uint8_t kWorkstation = 1, kControladorDominio = 2, kServidor = 3;

} // namespace

bool WinVersion::IsWin95() const { return Corto([](auto& r) { return Es(r, 1, 4, 0) && r.Build == 950; }); }
bool WinVersion::IsWin95OSR2() const { return Corto([](auto& r) { return Es(r, 1, 4, 0) && r.Build == 1111; }); }
bool WinVersion::IsWin98() const { return Corto([](auto& r) { return Es(r, 1, 4, 10) && r.Build >= 1998; }); }
bool WinVersion::IsWinME() const { return Corto([](auto& r) { return Es(r, 1, 4, 90) && r.Build >= 3000; }); }
bool WinVersion::IsWinNT4() const { return Corto([](auto& r) { return Es(r, 2, 4, 0) && r.Build >= 1381; }); }
bool WinVersion::IsWinNT4Plus() const { return Corto([](auto& r) { return r.Plataforma == 2 && r.Major >= 4; }); }
bool WinVersion::IsWinNT4Server() const {
    return Extendido(IsWinNT4(), [](auto& r) { return r.TipoProducto == kServidor; });
}
bool WinVersion::IsWinNT4Workstation() const {
    return Extendido(IsWinNT4(), [](auto& r) { return r.TipoProducto == kWorkstation; });
}
bool WinVersion::IsWin2000() const { return Corto([](auto& r) { return Es(r, 2, 5, 0) && r.Build >= 2195; }); }
bool WinVersion::IsWin2000Plus() const { return Corto([](auto& r) { return r.Plataforma == 2 && r.Major >= 5; }); }
bool WinVersion::IsWin2000Server() const {
    return Extendido(IsWin2000(), [](auto& r) { return r.TipoProducto == kServidor; });
}
bool WinVersion::IsWin2000Workstation() const {
    return Extendido(IsWin2000(), [](auto& r) { return r.TipoProducto == kWorkstation; });
}
bool WinVersion::IsWin2000AdvancedServer() const {
    return Extendido(IsWin2000Plus(), [](auto& r) {
        return (r.TipoProducto == kControladorDominio || r.TipoProducto == kServidor) && Suite(r, 0x2);
    });
}
// Always False: the test it was built from asks for a domain controller (2)
// on a machine already known to be a server (3), and a product type cannot be
// both; nothing in the program relies on it.
bool WinVersion::IsDomainController() const { return false; }
bool WinVersion::IsWinXP() const { return Corto([](auto& r) { return Es(r, 2, 5, 1) && r.Build >= 2600; }); }
bool WinVersion::IsWinXPPlus() const {
    return Corto([](auto& r) { return r.Plataforma == 2 && (r.Major > 5 || (r.Major == 5 && r.Minor >= 1)); });
}
bool WinVersion::IsWinXPSP2() const {
    return Extendido(IsWinXP(), [](auto& r) { return r.ServicePack.find("Service Pack 2") != std::string::npos; });
}
bool WinVersion::IsWinXPSP3() const {
    return Extendido(IsWinXP(), [](auto& r) { return r.ServicePack.find("Service Pack 3") != std::string::npos; });
}
bool WinVersion::IsWinXPHomeEdition() const { return Extendido(IsWinXP(), [](auto& r) { return Suite(r, 0x200); }); }
bool WinVersion::IsWinXPProEdition() const { return Extendido(IsWinXP(), [](auto& r) { return !Suite(r, 0x200); }); }
bool WinVersion::IsWinXPEmbedded() const { return Extendido(IsWinXP(), [](auto& r) { return Suite(r, 0x40); }); }
bool WinVersion::IsWinXPMediaCenter() const { return Extendido(IsWinXP(), [](auto&) { return Metrica(87); }); }
bool WinVersion::IsWinXPStarter() const { return Extendido(IsWinXP(), [](auto&) { return Metrica(88); }); }
bool WinVersion::IsWinXPTabletPc() const { return Extendido(IsWinXP(), [](auto&) { return Metrica(86); }); }
bool WinVersion::IsWin2003Server() const {
    return Corto([](auto& r) { return Es(r, 2, 5, 2) && r.Build == 3790; });
}
bool WinVersion::IsWin2003ServerR2() const { return Extendido(IsWin2003Server(), [](auto&) { return Metrica(89); }); }
bool WinVersion::IsBladeServer() const { return Extendido(IsWin2003Server(), [](auto& r) { return Suite(r, 0x400); }); }
bool WinVersion::IsBackOfficeServer() const { return Extendido(IsWinNT4Plus(), [](auto& r) { return Suite(r, 0x4); }); }
bool WinVersion::IsEnterpriseServer() const {
    return Extendido(IsWinNT4Plus(), [](auto& r) { return r.TipoProducto == kServidor && Suite(r, 0x2); });
}
bool WinVersion::IsSmallBusinessServer() const {
    return Extendido(IsWinNT4Plus(), [](auto& r) { return Suite(r, 0x1); });
}
bool WinVersion::IsSmallBusinessRestrictedServer() const {
    return Extendido(IsWinNT4Plus(), [](auto& r) { return Suite(r, 0x20); });
}
bool WinVersion::IsTerminalServer() const { return Extendido(IsWinNT4Plus(), [](auto& r) { return Suite(r, 0x10); }); }
bool WinVersion::IsWinVista() const { return Corto([](auto& r) { return r.Plataforma == 2 && r.Major == 6; }); }
bool WinVersion::IsWinVistaPlus() const { return Corto([](auto& r) { return r.Plataforma == 2 && r.Major >= 6; }); }
bool WinVersion::IsWinLonghornServer() const {
    return Extendido(true, [](auto& r) { return Es(r, 2, 6, 0) && r.TipoProducto != kWorkstation; });
}
bool WinVersion::IsWin10Plus() const { return Corto([](auto& r) { return r.Plataforma == 2 && r.Major >= 10; }); }
bool WinVersion::IsWinEmbedded() const { return Extendido(true, [](auto& r) { return Suite(r, 0x40); }); }

} // namespace olvado
