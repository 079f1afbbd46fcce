// The package of one run, from the compared row to its start: the version the
// check compared, the row's origin (the general row or a ring's), the
// published digest (enciphered) and signature, the sealed file, the digests
// taken while it was written, and the outcome the fleet's history records.
// One object in the process (held by the service objects), shared by the
// family's module functions from the version check to the launch.
#pragma once

#include "platform/ArchivoSellado.h"
#include "updater/PaqueteAnillo.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace olvado {

// A package version as BinariosAct stores it.
struct VersionPaquete {
    int32_t Major = 0, Minor = 0, Revision = 0;
};

// Outcomes of a check and preparation, as the fleet's history records them.
inline constexpr const char* kResultadoAlDia = "al dia";
inline constexpr const char* kResultadoInstalando = "instalando";
inline constexpr const char* kResultadoPreparado = "preparado";
inline constexpr const char* kResultadoSinPaquete = "sin paquete";
inline constexpr const char* kResultadoDigestoDistinto = "digesto distinto";
inline constexpr const char* kResultadoFirmaNoValida = "firma no valida";
inline constexpr const char* kResultadoSinDigesto = "sin digesto";
inline constexpr const char* kResultadoError = "error";

// How the prepared package was had, as the history and the system's log
// record it: nothing pulled yet, the whole package, a delta over the package
// the workstation already had, or a package staged earlier and found whole.
inline constexpr const char* kViaNinguna = "";
inline constexpr const char* kViaCompleto = "completo";
inline constexpr const char* kViaDelta = "delta";
inline constexpr const char* kViaPreparado = "preparado";

class Paquete {
  public:
    // Fills destino (n bytes at most) with the package's next bytes: the
    // count, 0 at the end, -1 with Motivo set when they cannot be had.
    using Fuente = std::function<int64_t(uint8_t* destino, size_t n, std::string& Motivo)>;
    // The loop's buffer: one piece, and one byte more that tells a piece
    // longer than a piece may be.
    static constexpr size_t kTamanoBuffer = (size_t{1} << 20) + 1;
    // A delta is fed 64 bytes at a time: at most 16 blocks of 128 KiB come
    // out of a slice. The rebuilt bytes behind leave the memory every 4 MiB.
    static constexpr int64_t kTajadaDelta = 64;
    static constexpr uint64_t kSoltarCada = uint64_t{4} << 20;

    // True silences the "program newer than the database" message and, in
    // interactive mode, the preparation.
    bool SinMensajes = false;
    // The outcome of the last check and preparation (kResultadoError until
    // one gets further).
    std::string Resultado = kResultadoError;
    // The version of the row that the last check read (none when it read no
    // row). The package, its digest and its signature come from a row of
    // exactly that version: the table need not have a key, and two rows of
    // one product must never mix.
    std::optional<VersionPaquete> Version;
    // Where that row is.
    OrigenPaquete Origen;
    // How this preparation had its package (kVia...), and the bytes it read
    // from the server for it (pieces, deltas or Binario, as they came).
    std::string Via = kViaNinguna;
    int64_t BytesLeidos = 0;

    // A new preparation for the file at Ruta (the native path, as the
    // package's path is built once): what an earlier one held is let go.
    void Empezar(const std::string& Ruta);
    const std::string& Ruta() const { return ruta_; }

    // The package key ("" for none), read once per preparation through
    // Leer; false when the registry cannot tell (Motivo says why).
    bool Clave(std::string& Clave, std::string& Motivo,
               const std::function<bool(std::string&, std::string&)>& Leer);

    // The row's published digest (enciphered) and signature.
    std::string HashCifrado, Firma;

    // The chunk loop: each buffer Origen gives goes once into the new held
    // file at Ruta and through MD5 and (with a package key) SHA-256; a
    // pending termination signal is asked at each buffer. False with Motivo
    // for a file that cannot be made, a buffer that cannot be had or
    // written, or a signal: then no file is left. True: the file is sealed
    // and held (Sellado), its digests known.
    bool Escribir(const Fuente& Origen, std::string& Motivo);
    // A package written by someone else: held and digested from its first
    // byte. False when it cannot be opened (Abierto false) or read.
    bool Leer(const std::string& Ruta, bool& Abierto);

    // The file already at Ruta (the package an earlier run wrote, or one
    // staged for this one), held and digested before the row is read;
    // false when nothing usable stands there (nothing, a link, a device, a
    // file with another name too, one that cannot be read).
    bool RetenerPrevio();
    // Its MD5 (32 upper-case hex digits), "" when none is held.
    const std::string& DigestoPrevio() const { return md5Previo_; }
    // It is the package: held from here to its start as a written one is.
    void UsarPrevio();
    // Frees Ruta for a new package: the held file gives up its name (its
    // bytes stay readable through Base until CerrarPrevio), or, none held,
    // whatever stands there is deleted. False when the name stays taken.
    bool LiberarRuta();
    // The held file's bytes, mapped; empty when there are none.
    std::string_view Base() { return previo_->Mapear(); }
    void CerrarPrevio();

    // A delta over Base rebuilds the package straight into the new held file
    // at Ruta, exactly Tamano bytes mapped and written in place: Delta gives
    // the delta's bytes as the loop's sources do; MD5 and (with a package
    // key) SHA-256 are taken as the bytes are written. False with Motivo
    // (nothing left at Ruta) for a delta that is refused or damaged, a
    // window beyond reason, a rebuilt MD5 that is not Md5, a file that
    // cannot be made or mapped, or a signal.
    bool Reconstruir(std::string_view Base, int64_t Tamano, const Fuente& Delta, const std::string& Md5,
                     std::string& Motivo);

    // MD5 of the held bytes (32 upper-case hex digits), "" before one.
    const std::string& Digesto() const { return md5_; }
    // The signature of the held bytes against the package key, as the
    // product's package of the compared version.
    bool FirmaValida(const std::string& Producto);

    platform::ArchivoSellado& Sellado() { return *sellado_; }

  private:
    std::unique_ptr<platform::ArchivoSellado> sellado_ = std::make_unique<platform::ArchivoSellado>(),
                                              previo_ = std::make_unique<platform::ArchivoSellado>();
    std::string ruta_, md5_, sha256_, clave_, md5Previo_, sha256Previo_;
    bool claveLeida_ = false;
};

} // namespace olvado
