// The digest of a held package, read once from its first byte.
#pragma once

#include <string>

namespace olvado {
namespace platform {
class ArchivoSellado;
class FirmaEd25519;
} // namespace platform

// The package's MD5 digest as 32 upper-case hexadecimal digits; "" when it
// cannot be read. Firma, when given, takes the same bytes in the same pass:
// its SHA-256 runs on a second thread over the very buffers the MD5 reads,
// so a signed package costs about the time of the slower digest, not both.
std::string DigestoSellado(platform::ArchivoSellado& paquete, platform::FirmaEd25519* firma);

} // namespace olvado
