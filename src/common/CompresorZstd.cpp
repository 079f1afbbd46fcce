#include "common/CompresorZstd.h"

#include "common/DescompresorZstd.h"

#include <zstd.h>

#include <algorithm>
#include <bit>
#include <memory>

namespace olvado {
namespace {

struct LiberarCCtx {
    void operator()(ZSTD_CCtx* c) const { ZSTD_freeCCtx(c); }
};
using Contexto = std::unique_ptr<ZSTD_CCtx, LiberarCCtx>;

bool Poner(ZSTD_CCtx* c, ZSTD_cParameter p, int valor) {
    return !ZSTD_isError(ZSTD_CCtx_setParameter(c, p, valor));
}

// Level, checksum, long-distance matching and the window; the workers where
// the library has them (a build without threads compresses in this one).
Contexto Preparar(const CompresorZstd::Opciones& o, int ventanaLog) {
    Contexto c(ZSTD_createCCtx());
    if (!c || !Poner(c.get(), ZSTD_c_compressionLevel, o.nivel) || !Poner(c.get(), ZSTD_c_checksumFlag, 1) ||
        !Poner(c.get(), ZSTD_c_contentSizeFlag, 1) || !Poner(c.get(), ZSTD_c_windowLog, ventanaLog) ||
        !Poner(c.get(), ZSTD_c_enableLongDistanceMatching, 1))
        return nullptr;
    if (o.trabajadores > 0)
        Poner(c.get(), ZSTD_c_nbWorkers, o.trabajadores);
    return c;
}

std::optional<std::string> Escribir(ZSTD_CCtx* c, std::string_view datos) {
    std::string salida(ZSTD_compressBound(datos.size()), '\0');
    size_t n = ZSTD_compress2(c, salida.data(), salida.size(), datos.data(), datos.size());
    if (ZSTD_isError(n))
        return std::nullopt;
    salida.resize(n);
    salida.shrink_to_fit();
    return salida;
}

} // namespace

std::optional<std::string> CompresorZstd::Comprimir(std::string_view datos, const Opciones& opciones) {
    // The readers' window, or less for a smaller package.
    int ventana = std::clamp(static_cast<int>(std::bit_width(std::max<size_t>(datos.size(), 1) - 1)), 10,
                             DescompresorZstd::kVentanaLogPiezas);
    Contexto c = Preparar(opciones, ventana);
    if (!c)
        return std::nullopt;
    return Escribir(c.get(), datos);
}

std::optional<std::string> CompresorZstd::CrearDelta(std::string_view base, std::string_view destino,
                                                     const Opciones& opciones) {
    int ventana = DescompresorZstd::VentanaLogDelta(base.size(), destino.size());
    if (ventana == 0)
        return std::nullopt;
    Contexto c = Preparar(opciones, ventana);
    if (!c || ZSTD_isError(ZSTD_CCtx_refPrefix(c.get(), base.data(), base.size())))
        return std::nullopt;
    return Escribir(c.get(), destino);
}

} // namespace olvado
