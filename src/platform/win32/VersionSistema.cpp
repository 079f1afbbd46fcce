// Win32 only: GetVersionExA and GetSystemMetrics.
#include "platform/VersionSistema.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {
namespace {

class VersionWin32 final : public IVersionSistema {
public:
    int32_t ObtenerVersion(RegistroVersion& r) override {
        OSVERSIONINFOEXA v{};
        v.dwOSVersionInfoSize = r.Tamano;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations" // the manifest makes it tell the truth up to 10
        BOOL ok = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v));
#pragma GCC diagnostic pop
        r.Major = v.dwMajorVersion;
        r.Minor = v.dwMinorVersion;
        r.Build = v.dwBuildNumber;
        r.Plataforma = v.dwPlatformId;
        r.ServicePack = DesdeAnsi(std::string(v.szCSDVersion, strnlen(v.szCSDVersion, sizeof v.szCSDVersion)));
        r.ServicePackMajor = v.wServicePackMajor;
        r.ServicePackMinor = v.wServicePackMinor;
        r.Suite = v.wSuiteMask;
        r.TipoProducto = v.wProductType;
        return ok;
    }
    int32_t MetricaSistema(int32_t indice) override { return GetSystemMetrics(indice); }
};

} // namespace

IVersionSistema& IVersionSistema::DelSistema() {
    static VersionWin32 v;
    return v;
}

} // namespace olvado::platform
