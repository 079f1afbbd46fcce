// Package signatures: Ed25519 (RFC 8032) through libgcrypt, the one library
// that both builds link for it. What a package's signature covers is a short
// text that names its SHA-256 digest (common/FirmaPaquete.h), so the digest can
// run beside the MD5 one in the single read of the package (libgcrypt 1.10
// takes no running hash for EdDSA).
// SHA-256 matches the curve's 128-bit strength and, with the processors' SHA
// instructions, costs a third of SHA-512: beside the MD5 it adds no time.
//
// Keys and signatures travel as upper-case hexadecimal text: the private key
// is the 32-byte seed, the public key the 32-byte encoded point, the
// signature R || S, 64 bytes. Malformed text never verifies.
#pragma once

#include <cstddef>
#include <string>

namespace olvado::platform {

class FirmaEd25519 {
public:
    FirmaEd25519();
    ~FirmaEd25519();
    FirmaEd25519(const FirmaEd25519&) = delete;
    FirmaEd25519& operator=(const FirmaEd25519&) = delete;

    // The package's bytes, in order, in pieces of any size.
    void Agregar(const void* datos, size_t n);
    // The SHA-256 of what was added, 64 upper-case hex digits ("" when the
    // library failed). It ends the digest: one object, one package.
    std::string Sha256Hex();

    // A new key pair from the library's strong random source.
    static bool GenerarClaves(std::string& privadaHex, std::string& publicaHex);
    // The public key of a private one ("" when it is not one).
    static std::string ClavePublica(const std::string& privadaHex);
    // Plain Ed25519 over a whole message.
    static std::string FirmarMensaje(const std::string& privadaHex, const std::string& mensaje);
    static bool VerificarMensaje(const std::string& publicaHex, const std::string& firmaHex,
                                 const std::string& mensaje);

private:
    void* md_ = nullptr; // gcry_md_hd_t, kept out of this header
};

} // namespace olvado::platform
