// The publisher's side of DescompresorZstd: a whole package compressed for
// its pieces, and a delta from the package the workstations have to the new
// one (what `zstd --patch-from` writes: the base as a prefix, long-distance
// matching, a window that covers the base). Both frames carry their content
// size and checksum, which a delta's reader requires.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace olvado {

class CompresorZstd {
public:
    struct Opciones {
        int nivel = 19;
        // Worker threads (0: in the caller's thread). libzstd alone is slow
        // at the high levels with a large window; its workers are not.
        int trabajadores = 2;
    };

    // Nothing when the library refuses (out of memory, a level out of range).
    static std::optional<std::string> Comprimir(std::string_view datos, const Opciones& opciones);
    // Nothing also when the pair exceeds a delta's largest window.
    static std::optional<std::string> CrearDelta(std::string_view base, std::string_view destino,
                                                 const Opciones& opciones);
};

} // namespace olvado
