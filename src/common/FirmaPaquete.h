// What a package's signature covers: the product, the version and the bytes.
// Signing the bytes alone would let whoever writes BinariosAct republish an
// older signed package under a higher version, or another product's package
// under this one; the signed text names all three:
//
//   "Paquete firmado de OlvadoUpdater" LF
//   "Producto: " product LF
//   "Version: " major "." minor "." revision LF
//   "SHA-256: " the bytes' SHA-256 in 64 upper-case hex digits LF
//
// (UTF-8, LF line ends, decimal version parts). It reads back one way only:
// the digest has a fixed length and a version part holds no line end, so no
// product name can make two publications sign the same text.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {
namespace platform {
class FirmaEd25519;
}

std::string TextoFirmadoPaquete(const std::string& Producto, int32_t Major, int32_t Minor, int32_t Revision,
                                const std::string& Sha256Hex);

// Firma has taken the package's bytes; either call ends its digest. The
// signature (128 hex digits) is "" for a bad key.
std::string FirmarPaquete(platform::FirmaEd25519& Firma, const std::string& PrivadaHex,
                          const std::string& Producto, int32_t Major, int32_t Minor, int32_t Revision);
bool VerificarFirmaPaquete(platform::FirmaEd25519& Firma, const std::string& PublicaHex,
                           const std::string& FirmaHex, const std::string& Producto, int32_t Major,
                           int32_t Minor, int32_t Revision);

} // namespace olvado
