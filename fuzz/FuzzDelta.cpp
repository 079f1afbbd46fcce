// Any bytes as a delta over a fixed base, fed in uneven buffers: the reader
// refuses or rebuilds, never crashes, and never gives more than it was told.
#include "common/DescompresorZstd.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    static const std::string base = [] {
        std::string b(1 << 16, '\0');
        for (size_t i = 0; i < b.size(); ++i)
            b[i] = static_cast<char>((i * 2654435761u) >> 13);
        return b;
    }();
    if (largo < 2)
        return 0;
    // The first two bytes choose the expected size and the buffers' size.
    const uint64_t esperado = (uint64_t{datos[0]} << 10) + datos[1];
    const size_t trozo = 1 + datos[1] % 97;
    uint64_t recibidos = 0;
    olvado::DescompresorZstd d(base, esperado, [&](std::string_view b) {
        recibidos += b.size();
        return true;
    });
    std::string_view flujo(reinterpret_cast<const char*>(datos) + 2, largo - 2);
    for (size_t i = 0; i < flujo.size() && d.Alimentar(flujo.substr(i, trozo)); i += trozo) {
    }
    const bool reconstruido = d.Terminar();
    if (recibidos > esperado || (reconstruido && recibidos != esperado))
        std::abort();
    return 0;
}
