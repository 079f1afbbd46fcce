#include "common/DescompresorZstd.h"

#define ZSTD_STATIC_LINKING_ONLY // a delta's header read before decoding; its output in place
#include <zstd.h>

#include <algorithm>
#include <bit>

namespace olvado {

int DescompresorZstd::VentanaLogDelta(uint64_t tamanoBase, uint64_t tamanoDestino) {
    uint64_t mayor = std::max({tamanoBase, tamanoDestino, uint64_t{1} << 10});
    if (mayor > (uint64_t{1} << kVentanaLogMaxima))
        return 0;
    int log = static_cast<int>(std::bit_width(mayor - 1));
    ZSTD_bounds limites = ZSTD_dParam_getBounds(ZSTD_d_windowLogMax);
    if (ZSTD_isError(limites.error) || log > limites.upperBound)
        return 0;
    return log;
}

std::optional<uint64_t> DescompresorZstd::TamanoDeclarado(std::string_view inicio) {
    ZSTD_frameHeader cabecera{};
    if (ZSTD_getFrameHeader(&cabecera, inicio.data(), inicio.size()) != 0 || cabecera.frameType != ZSTD_frame ||
        cabecera.frameContentSize == ZSTD_CONTENTSIZE_UNKNOWN)
        return std::nullopt;
    return cabecera.frameContentSize;
}

DescompresorZstd::DescompresorZstd(Salida salida, int ventanaLogMax)
    : ctx_(ZSTD_createDCtx()), salida_(std::move(salida)), bloque_(ZSTD_DStreamOutSize()) {
    if (!ctx_)
        Fallar("sin memoria para el descompresor");
    else if (ZSTD_isError(ZSTD_DCtx_setParameter(ctx_, ZSTD_d_windowLogMax, ventanaLogMax)))
        Fallar("ventana fuera de los limites de la biblioteca");
}

DescompresorZstd::DescompresorZstd(std::string_view base, uint64_t tamanoEsperado, Salida salida)
    : DescompresorZstd(std::move(salida), 10) {
    delta_ = true;
    esperado_ = tamanoEsperado;
    if (fallido_)
        return;
    int ventana = VentanaLogDelta(base.size(), tamanoEsperado);
    if (ventana == 0) {
        Fallar("la base o el paquete exceden la ventana maxima de un delta");
        return;
    }
    if (ZSTD_isError(ZSTD_DCtx_setParameter(ctx_, ZSTD_d_windowLogMax, ventana)) ||
        ZSTD_isError(ZSTD_DCtx_refPrefix(ctx_, base.data(), base.size())))
        Fallar("no se pudo preparar la base del delta");
}

DescompresorZstd::DescompresorZstd(std::string_view base, std::span<char> destino, Salida salida)
    : DescompresorZstd(base, destino.size(), std::move(salida)) {
    destino_ = destino.data();
    std::vector<char>().swap(bloque_);
    if (!fallido_ && ZSTD_isError(ZSTD_DCtx_setParameter(ctx_, ZSTD_d_stableOutBuffer, 1)))
        Fallar("no se pudo preparar el destino del delta");
}

DescompresorZstd::~DescompresorZstd() {
    ZSTD_freeDCtx(ctx_);
}

bool DescompresorZstd::Fallar(std::string motivo) {
    if (!fallido_) {
        fallido_ = true;
        error_ = std::move(motivo);
    }
    return false;
}

bool DescompresorZstd::Alimentar(std::string_view entrada) {
    if (fallido_)
        return false;
    if (entrada.empty())
        return true;
    std::string_view alDecodificador = entrada;
    if (delta_ && !cabeceraVista_ && !RevisarCabecera(entrada, alDecodificador))
        return false;
    bool bien = Decodificar(alDecodificador);
    if (cabeceraVista_)
        std::string().swap(cabecera_);
    return bien;
}

// The header of a delta's frame, gathered across buffers (at most 18 bytes
// are needed): a plain frame, no dictionary, its checksum, the expected size.
bool DescompresorZstd::RevisarCabecera(std::string_view entrada, std::string_view& alDecodificador) {
    if (!cabecera_.empty()) {
        cabecera_.append(entrada);
        entrada = cabecera_;
    }
    ZSTD_frameHeader cabecera{};
    size_t r = ZSTD_getFrameHeader(&cabecera, entrada.data(), entrada.size());
    if (ZSTD_isError(r))
        return Fallar("el delta no empieza por un marco zstd");
    if (r > 0) {
        if (cabecera_.empty())
            cabecera_.assign(entrada);
        alDecodificador = {};
        return true;
    }
    if (cabecera.frameType != ZSTD_frame || cabecera.dictID != 0 || !cabecera.checksumFlag)
        return Fallar("el delta no lleva un marco simple con suma de comprobacion");
    if (cabecera.frameContentSize != esperado_)
        return Fallar("el delta no da el tamano esperado");
    cabeceraVista_ = true;
    alDecodificador = entrada;
    return true;
}

bool DescompresorZstd::Decodificar(std::string_view entrada) {
    ZSTD_inBuffer in{entrada.data(), entrada.size(), 0};
    for (;;) {
        if (!marcoAbierto_ && in.pos == in.size)
            return true;
        if (!marcoAbierto_ && algunMarco_ && delta_)
            return Fallar("datos tras el marco del delta");
        // A place of its own is given whole every time, as libzstd requires.
        ZSTD_outBuffer out = destino_ ? ZSTD_outBuffer{destino_, static_cast<size_t>(esperado_),
                                                       static_cast<size_t>(escritos_)}
                                      : ZSTD_outBuffer{bloque_.data(), bloque_.size(), 0};
        const size_t antes = out.pos;
        size_t r = ZSTD_decompressStream(ctx_, &out, &in);
        if (ZSTD_isError(r))
            return Fallar(ZSTD_getErrorName(r));
        marcoAbierto_ = r != 0;
        algunMarco_ = algunMarco_ || r == 0;
        const size_t nuevos = out.pos - antes;
        if (nuevos > 0) {
            if (delta_ && nuevos > esperado_ - escritos_)
                return Fallar("el delta da mas que el tamano esperado");
            escritos_ += nuevos;
            if (!salida_(std::string_view(static_cast<char*>(out.dst) + antes, nuevos)))
                return Fallar("la salida rechazo los datos");
        }
        // All taken and all given: the rest waits for more input.
        if (in.pos == in.size && (out.pos < out.size || nuevos == 0))
            return true;
    }
}

bool DescompresorZstd::Terminar() {
    if (fallido_)
        return false;
    if (delta_ && !cabeceraVista_)
        return Fallar("delta truncado");
    if (marcoAbierto_ || !algunMarco_)
        return Fallar("flujo zstd truncado");
    if (delta_ && escritos_ != esperado_)
        return Fallar("el delta no da el tamano esperado");
    return true;
}

} // namespace olvado
