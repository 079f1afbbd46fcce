// One whole file mapped read-only, for reading a large file (a delta's base)
// without holding a copy: its pages come and go with the system's cache.
// While it is mapped the file cannot be changed through this system's own
// writers (Linux: a shared flock against their exclusive one; Windows: no
// write sharing), so the bytes seen do not move under the reader. Only plain
// files; an empty file maps to an empty view. Failures keep the Windows
// error number in UltimoError.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace olvado::platform {

class ArchivoMapeado {
public:
    ArchivoMapeado() = default;
    ~ArchivoMapeado();
    ArchivoMapeado(const ArchivoMapeado&) = delete;
    ArchivoMapeado& operator=(const ArchivoMapeado&) = delete;

    bool Abrir(const std::string& ruta);
    void Cerrar();
    bool Abierto() const { return abierto_; }
    std::string_view Contenido() const { return {datos_, tamano_}; }
    int32_t UltimoError() const { return error_; }

private:
    const char* datos_ = nullptr;
    size_t tamano_ = 0;
    intptr_t archivo_ = -1; // the descriptor or HANDLE held while mapped
    bool abierto_ = false;
    int32_t error_ = 0;
};

} // namespace olvado::platform
