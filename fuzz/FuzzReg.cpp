// Any bytes as a registry hive file: read, written back, and what was
// written reads again as the same keys and values.
#include "platform/posix/ArchivoReg.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
bool Iguales(const olvado::platform::reg::Colmena& a, const olvado::platform::reg::Colmena& b) {
    if (a.claves.size() != b.claves.size())
        return false;
    for (size_t i = 0; i < a.claves.size(); ++i) {
        const auto &x = a.claves[i].valores, &y = b.claves[i].valores;
        if (a.claves[i].ruta != b.claves[i].ruta || x.size() != y.size())
            return false;
        for (size_t j = 0; j < x.size(); ++j)
            if (x[j].nombre != y[j].nombre || x[j].tipo != y[j].tipo || x[j].datos != y[j].datos)
                return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    std::string texto(reinterpret_cast<const char*>(datos), largo);
    olvado::platform::reg::Colmena colmena, otra;
    if (olvado::platform::reg::Leer(texto, "HKEY_LOCAL_MACHINE", colmena) &&
        (!olvado::platform::reg::Leer(olvado::platform::reg::Escribir(colmena), "HKEY_LOCAL_MACHINE", otra) ||
         !Iguales(colmena, otra)))
        __builtin_trap();
    return 0;
}
