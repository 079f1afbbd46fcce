// The system's version record (OSVERSIONINFOEXA) and its metrics, behind an
// interface so that tests can present any Windows version. Windows:
// GetVersionExA and GetSystemMetrics. Linux: the NT family, version 10.0,
// a workstation, no suite bits, every metric 0.
#pragma once

#include "base/Servicio.h"

#include <cstdint>
#include <string>

namespace olvado::platform {

inline constexpr uint32_t kTamanoVersion = 148;   // OSVERSIONINFOA
inline constexpr uint32_t kTamanoVersionEx = 156; // OSVERSIONINFOEXA

struct RegistroVersion {
    uint32_t Tamano = kTamanoVersion; // which record the caller asks for
    uint32_t Major = 0, Minor = 0, Build = 0;
    uint32_t Plataforma = 0; // 1 the Windows 95 family, 2 the NT family
    std::string ServicePack; // at most 127 characters
    // Only in the extended record:
    uint16_t ServicePackMajor = 0, ServicePackMinor = 0;
    uint16_t Suite = 0;
    uint8_t TipoProducto = 0; // 1 workstation, 2 domain controller, 3 server
};

class IVersionSistema : public Servicio<IVersionSistema> {
public:
    static IVersionSistema& DelSistema();
    virtual ~IVersionSistema() = default;
    // GetVersionExA's answer (1 on success) for the record size in r.Tamano.
    virtual int32_t ObtenerVersion(RegistroVersion& r) = 0;
    virtual int32_t MetricaSistema(int32_t indice) = 0;
};

} // namespace olvado::platform
