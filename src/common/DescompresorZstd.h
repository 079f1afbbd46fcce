// Streaming zstd reader of what the server sends: a package stored as
// compressed pieces, and a delta that rebuilds a package from the one the
// workstation already has (what `zstd --patch-from` writes). The input comes
// buffer by buffer, as the pieces arrive; the output leaves through a callback
// in blocks of at most 128 KiB. Memory is bounded by the frame's window, which
// is capped before a byte is decoded: a frame asking for more is refused, as
// is a damaged or truncated stream. A delta is held to more: one frame that
// carries its content size and checksum, whose size is the one the caller
// expects (so a wrong base fails the checksum instead of passing garbage on),
// and nothing after it. After the first failure every call answers false.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct ZSTD_DCtx_s;

namespace olvado {

class DescompresorZstd {
public:
    // Receives each block of output; false stops the reading (a failure).
    using Salida = std::function<bool(std::string_view)>;

    // The window both sides use for compressed pieces: 16 MiB.
    static constexpr int kVentanaLogPiezas = 24;
    // No delta's window goes beyond 2 GiB (1 GiB where the library is 32-bit).
    static constexpr int kVentanaLogMaxima = 31;

    // The log2 of the window that covers a delta's base and target (at least
    // 1 KiB); 0 when it would exceed kVentanaLogMaxima or this library's limit.
    static int VentanaLogDelta(uint64_t tamanoBase, uint64_t tamanoDestino);
    // The content size the header of the frame that begins inicio declares;
    // nothing when the header is not whole there, not a frame's, or declares none.
    static std::optional<uint64_t> TamanoDeclarado(std::string_view inicio);

    // Compressed pieces: any number of frames, each within 2^ventanaLogMax.
    explicit DescompresorZstd(Salida salida, int ventanaLogMax = kVentanaLogPiezas);
    // A delta over base, which must stay valid (a mapped file, say) until the
    // object is gone, giving exactly tamanoEsperado bytes.
    DescompresorZstd(std::string_view base, uint64_t tamanoEsperado, Salida salida);
    // The same, written straight into destino (its size the expected one; a
    // mapped file, say), which spares the window's copy of the output: the
    // memory of a large delta is then its two files and ~300 KiB. salida
    // sees each part as it is written there.
    DescompresorZstd(std::string_view base, std::span<char> destino, Salida salida);
    ~DescompresorZstd();
    DescompresorZstd(const DescompresorZstd&) = delete;
    DescompresorZstd& operator=(const DescompresorZstd&) = delete;

    bool Alimentar(std::string_view entrada);
    // The end of the input: false unless the last frame was whole (and, for a
    // delta, its size the expected one).
    bool Terminar();

    bool Fallido() const { return fallido_; }
    const std::string& Error() const { return error_; }
    uint64_t Escritos() const { return escritos_; }

private:
    bool Fallar(std::string motivo);
    bool RevisarCabecera(std::string_view entrada, std::string_view& alDecodificador);
    bool Decodificar(std::string_view entrada);

    ZSTD_DCtx_s* ctx_ = nullptr;
    Salida salida_;
    std::vector<char> bloque_; // the output's staging block, unless...
    char* destino_ = nullptr;  // ...the output has a place of its own
    bool delta_ = false;
    uint64_t esperado_ = 0;
    std::string cabecera_; // a delta's first bytes until its frame header is whole
    bool cabeceraVista_ = false;
    bool marcoAbierto_ = false; // a frame started and not yet ended
    bool algunMarco_ = false;
    bool fallido_ = false;
    std::string error_;
    uint64_t escritos_ = 0;
};

} // namespace olvado
