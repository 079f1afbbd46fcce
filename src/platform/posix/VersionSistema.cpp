// POSIX only: the version the Linux build reports to the program's rules.
#include "platform/VersionSistema.h"

namespace olvado::platform {
namespace {

class VersionLinux final : public IVersionSistema {
public:
    int32_t ObtenerVersion(RegistroVersion& r) override {
        uint32_t tamano = r.Tamano;
        if (tamano != kTamanoVersion && tamano != kTamanoVersionEx)
            return 0;
        r = RegistroVersion{};
        r.Tamano = tamano;
        // A current NT workstation: every "this version or later" test passes.
        r.Major = 10;
        r.Minor = 0;
        r.Build = 10240;
        r.Plataforma = 2;
        if (tamano == kTamanoVersionEx)
            r.TipoProducto = 1;
        return 1;
    }
    int32_t MetricaSistema(int32_t) override { return 0; }
};

} // namespace

IVersionSistema& IVersionSistema::DelSistema() {
    static VersionLinux v;
    return v;
}

} // namespace olvado::platform
