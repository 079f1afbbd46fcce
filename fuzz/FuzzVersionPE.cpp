// Any bytes as a PE file: the version reader and the value lookup stay inside them.
#include "platform/LectorVersionPE.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    olvado::platform::FuenteMemoria fuente(std::string_view(reinterpret_cast<const char*>(datos), largo));
    std::string recurso, valor;
    bool texto = false;
    if (olvado::platform::LeerRecursoVersionPE(fuente, recurso)) {
        olvado::platform::ConsultarValorVersion(recurso, "\\StringFileInfo\\0C0A04E4\\ProductName", valor, texto);
        olvado::platform::ConsultarValorVersion(recurso, "\\", valor, texto);
    }
    return 0;
}
