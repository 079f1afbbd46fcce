#include "updater/TrozosComprimidos.h"

#include "common/DescompresorZstd.h"
#include "database/clsDB.h"
#include "updater/PaqueteEnTrozos.h"

#include <algorithm>
#include <cstring>

namespace olvado {

int64_t TrozosComprimidos::Compresion(clsDB& DB, const std::string& Condicion) {
    const auto v = ColumnaOpcional(DB, "Compresion", Condicion);
    try {
        return v ? v->AEntero() : 0;
    } catch (...) {
        return 0; // no number: read as before, as the column's absence
    }
}

TrozosComprimidos::TrozosComprimidos(Paquete::Fuente Piezas, int64_t Trozos)
    : piezas_(std::move(Piezas)), trozos_(Trozos), pieza_(Paquete::kTamanoBuffer) {
    zstd_ = std::make_unique<DescompresorZstd>([this](std::string_view parte) {
        escritos_ += parte.size();
        if (escritos_ > declarado_)
            return false;
        const size_t directo = std::min(parte.size(), libre_);
        std::memcpy(destino_, parte.data(), directo);
        destino_ += directo;
        libre_ -= directo;
        pendiente_.append(parte.substr(directo));
        pendienteMayor_ = std::max(pendienteMayor_, pendiente_.size());
        return true;
    });
}

TrozosComprimidos::~TrozosComprimidos() = default;

int64_t TrozosComprimidos::Fallar(std::string& Motivo, const std::string& Razon) {
    fallido_ = true;
    Motivo = "los trozos comprimidos no se pudieron leer: " + Razon;
    return -1;
}

// The next piece into the buffer; the first one's header must declare the
// package's size, within reason for the pieces' room.
bool TrozosComprimidos::SiguientePieza(std::string& Motivo) {
    const int64_t n = piezas_(pieza_.data(), pieza_.size(), Motivo);
    if (n < 0)
        return false;
    enPieza_ = static_cast<size_t>(n);
    posicion_ = 0;
    if (leidos_++ > 0)
        return true;
    const auto declarado = DescompresorZstd::TamanoDeclarado(
        std::string_view(reinterpret_cast<const char*>(pieza_.data()), enPieza_));
    if (!declarado) {
        Fallar(Motivo, "el flujo no declara el tamaño del paquete");
        return false;
    }
    if (*declarado / kRazonMaxima > static_cast<uint64_t>(trozos_) * PaqueteEnTrozos::kTamanoTrozo) {
        Fallar(Motivo, "el flujo declara " + std::to_string(*declarado) + " bytes, demasiados para " +
                           std::to_string(trozos_) + " trozos");
        return false;
    }
    declarado_ = *declarado;
    return true;
}

int64_t TrozosComprimidos::Leer(uint8_t* destino, size_t n, std::string& Motivo) {
    if (fallido_)
        return Fallar(Motivo, "ya fallaron");
    // What waits first, then slices until the buffer is full or the stream ends.
    const size_t antes = std::min(n, pendiente_.size() - entregado_);
    std::memcpy(destino, pendiente_.data() + entregado_, antes);
    entregado_ += antes;
    if (entregado_ == pendiente_.size()) {
        pendiente_.clear();
        entregado_ = 0;
    }
    destino_ = destino + antes;
    libre_ = n - antes;
    while (libre_ > 0 && pendiente_.empty() && !terminado_) {
        if (posicion_ == enPieza_) {
            if (leidos_ == trozos_) {
                if (!zstd_->Terminar())
                    return Fallar(Motivo, zstd_->Error());
                if (escritos_ != declarado_)
                    return Fallar(Motivo, "el flujo da " + std::to_string(escritos_) + " bytes y declara " +
                                              std::to_string(declarado_));
                terminado_ = true;
                break;
            }
            if (!SiguientePieza(Motivo))
                return -1;
            continue;
        }
        const size_t tajada = std::min(kTajada, enPieza_ - posicion_);
        if (!zstd_->Alimentar(
                std::string_view(reinterpret_cast<const char*>(pieza_.data()) + posicion_, tajada)))
            return Fallar(Motivo, escritos_ > declarado_ ? "el flujo da más bytes de los que declara"
                                                         : zstd_->Error());
        posicion_ += tajada;
    }
    const auto dados = static_cast<int64_t>(n - libre_);
    destino_ = nullptr;
    libre_ = 0;
    return dados;
}

} // namespace olvado
