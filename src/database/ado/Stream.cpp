#include "database/ado/Stream.h"

#include "database/ado/Errors.h"

#include <filesystem>
#include <fstream>

namespace olvado::ado {

namespace {
[[noreturn]] void Fallar(int32_t numero, const std::string& texto) { throw ErrorAdo(numero, "ADODB.Stream", texto); }
} // namespace

void Stream::Open() {
    abierto_ = true;
    datos_.clear();
    pos_ = 0;
}

void Stream::LoadFromFile(const std::string& ruta) {
    if (!abierto_)
        Fallar(adErrObjetoCerrado, "No se permite la operación si el objeto está cerrado.");
    std::ifstream f(std::filesystem::u8path(ruta), std::ios::binary | std::ios::ate);
    if (!f)
        Fallar(static_cast<int32_t>(0x800A0BBAu), "No se puede abrir el archivo.");
    auto tamano = static_cast<size_t>(f.tellg());
    f.seekg(0);
    datos_.resize(tamano);
    if (tamano && !f.read(reinterpret_cast<char*>(datos_.data()), static_cast<std::streamsize>(tamano)))
        Fallar(static_cast<int32_t>(0x800A0BBAu), "No se puede leer el archivo.");
    pos_ = 0;
}

std::vector<uint8_t> Stream::Read(int64_t n) {
    if (!abierto_)
        Fallar(adErrObjetoCerrado, "No se permite la operación si el objeto está cerrado.");
    if (pos_ == 0 && (n < 0 || static_cast<size_t>(n) >= datos_.size())) {
        pos_ = datos_.size();
        return std::move(datos_);
    }
    size_t cuantos = n < 0 ? datos_.size() - pos_ : std::min(static_cast<size_t>(n), datos_.size() - pos_);
    std::vector<uint8_t> salida(datos_.begin() + static_cast<std::ptrdiff_t>(pos_),
                                datos_.begin() + static_cast<std::ptrdiff_t>(pos_ + cuantos));
    pos_ += cuantos;
    return salida;
}

void Stream::Close() {
    abierto_ = false;
    datos_.clear();
    datos_.shrink_to_fit();
    pos_ = 0;
}

} // namespace olvado::ado
