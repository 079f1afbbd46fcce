// A package stored as compressed pieces (Compresion = 1): its pieces are one
// zstd stream, cut where the pieces end, of the package whose digest and
// signature the row publishes. This turns the pieces' source into the
// package's own for the chunk loop, so MD5 and SHA-256 are taken over the
// bytes the package is, as for raw pieces.
//
// The loop pulls; the decompressor pushes. Between them the current piece
// stays in a buffer and is fed to the decompressor kTajada bytes at a time,
// and what a slice gives beyond the loop's buffer waits here. A slice holds
// the ends of at most kTajada / 4 blocks (a block is at least 4 bytes: its
// header and one byte of a run), each at most 128 KiB of output, so what
// waits stays under kPendienteMaximo whatever the stream holds. With the
// decompressor's window (2^24 at most for pieces, ~0.3 MiB more of its own)
// and the piece, the reader holds under 19.5 MiB whatever the stream.
//
// Fails closed: a frame that declares no content size, one that declares
// more than kRazonMaxima times the pieces' room (a bomb: a few bytes that
// would fill the disk), output beyond the declared size, a window over
// 2^24, damage, or a stream cut short.
#pragma once

#include "updater/Paquete.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace olvado {

class DescompresorZstd;
class clsDB;

class TrozosComprimidos {
  public:
    static constexpr size_t kTajada = 64;
    static constexpr size_t kBloqueMaximo = size_t{128} << 10;
    static constexpr size_t kPendienteMaximo = kTajada / 4 * kBloqueMaximo + kTajada;
    static constexpr uint64_t kRazonMaxima = 256;

    // The Compresion of the rows " FROM ... WHERE ..." names (Condicion): 0
    // for raw pieces, as for a database without the column (its failed
    // statement quiet, as the signature's) or a NULL; 1 for zstd.
    static int64_t Compresion(clsDB& DB, const std::string& Condicion);

    // Piezas gives the Trozos pieces in order, one per call (as the raw
    // pieces' source does, into a buffer of Paquete::kTamanoBuffer).
    TrozosComprimidos(Paquete::Fuente Piezas, int64_t Trozos);
    ~TrozosComprimidos();
    TrozosComprimidos(const TrozosComprimidos&) = delete;
    TrozosComprimidos& operator=(const TrozosComprimidos&) = delete;

    // A Paquete::Fuente: the package's next bytes into destino.
    int64_t Leer(uint8_t* destino, size_t n, std::string& Motivo);

    // The most output that ever waited here.
    size_t PendienteMayor() const { return pendienteMayor_; }

  private:
    bool SiguientePieza(std::string& Motivo);
    int64_t Fallar(std::string& Motivo, const std::string& Razon);

    Paquete::Fuente piezas_;
    int64_t trozos_, leidos_ = 0;
    std::unique_ptr<DescompresorZstd> zstd_;
    std::vector<uint8_t> pieza_;
    size_t enPieza_ = 0, posicion_ = 0;
    std::string pendiente_;
    size_t entregado_ = 0, pendienteMayor_ = 0;
    // Where the decompressor's output goes first: the loop's buffer.
    uint8_t* destino_ = nullptr;
    size_t libre_ = 0;
    uint64_t declarado_ = 0, escritos_ = 0;
    bool terminado_ = false, fallido_ = false;
};

} // namespace olvado
