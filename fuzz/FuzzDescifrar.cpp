// Any text as a cipher text: Decrypt answers, never crashes.
#include "common/clsEncriptor.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    std::string cifrado(reinterpret_cast<const char*>(datos), largo);
    bool exito = true;
    olvado::clsEncriptor().Decrypt(cifrado, exito);
    return 0;
}
