// A package file held so that the bytes whose digest was checked are the
// bytes that run: open it once, digest it through Leer, start it from the
// same object (the launchers take it), and keep it alive until the started
// process has begun (or ended, when the launch waits).
//
// Windows: the file is open for reading without write or delete sharing, so
// nobody can write, truncate, rename, delete or replace it while it is held;
// the launch names its path.
// Linux: the launch starts the open file itself, through its descriptor
// (/proc/self/fd/N, which an interpreter re-opens as /dev/fd/N), so replacing
// or renaming the path changes nothing. Abrir refuses a file that another
// account (other than root) owns or that is open for writing, and takes the
// write bits away from group and others, so no one but this account can
// change the bytes in place. The account itself is no boundary: it can read
// this process's memory anyway.
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
