// A package file held so that the bytes whose digest was checked are the
// bytes that run: open it once, digest it through Leer, start it from the
// same object (the launchers take it), and keep it alive until the started
// process has begun (or ended, when the launch waits).
//
// Windows: the file is open for reading without write or delete sharing, so
// nobody can write, truncate, rename, delete or replace it while it is held;
// the launch names its path.
// Linux: Abrir copies the file (never through a link, never a FIFO or
// device) into an anonymous memory file and seals it against writing,
// shrinking and growing; Leer reads that sealed copy and the launch starts it
// through its descriptor (/proc/self/fd/N, which an interpreter re-opens as
// /dev/fd/N). Rewriting the file in place, replacing or renaming it changes
// nothing, whoever owns it. The copy costs the package's size in memory
// while it is held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace olvado::platform {

class ArchivoSellado {
public:
    ArchivoSellado() = default;
    ~ArchivoSellado() { Cerrar(); }
    ArchivoSellado(const ArchivoSellado&) = delete;
    ArchivoSellado& operator=(const ArchivoSellado&) = delete;

    // False when the file cannot be opened or held as described.
    bool Abrir(const std::string& ruta);
    // Up to n bytes from the current position: the count, 0 at the end, -1 on failure.
    int64_t Leer(void* destino, size_t n);
    bool Rebobinar();
    int64_t Tamano() const;
    void Cerrar();

    // A name that reads the held bytes, for a writer that opens by name (the
    // publisher's upload): Linux /proc/self/fd/N of the sealed copy; Windows
    // the file's own path, which nobody can write while it is held.
    std::string RutaLectura() const;

    bool Abierto() const { return nativo_ != kInvalido; }
    const std::string& Ruta() const { return ruta_; }
    // The descriptor (Linux) or HANDLE (Windows), for the launchers.
    intptr_t Nativo() const { return nativo_; }

private:
    static constexpr intptr_t kInvalido = -1;
    intptr_t nativo_ = kInvalido;
    std::string ruta_;
};

} // namespace olvado::platform
