// Any text as a registry hive file: read, and what was read written back.
#include "platform/posix/ArchivoReg.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    std::string texto(reinterpret_cast<const char*>(datos), largo);
    olvado::platform::reg::Colmena colmena;
    if (olvado::platform::reg::Leer(texto, "HKEY_LOCAL_MACHINE", colmena))
        olvado::platform::reg::Escribir(colmena);
    return 0;
}
