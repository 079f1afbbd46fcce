// One publication of a package: the file held so that its bytes cannot
// change while it is published (the digest, the signature and every byte
// stored come from that one copy), and the product's BinariosAct row replaced
// in one transaction.
#pragma once

#include "platform/ArchivoSellado.h"

#include <cstdint>
#include <string>

namespace olvado::admin {

class BaseAdmin;

class Publicacion {
public:
    std::string archivo, producto;
    int32_t major = 0, minor = 0, revision = 0;

    // Holds the file and reads it once for the MD5 digest and, with a
    // private key, the signature. False when it cannot be held or read.
    bool Sellar(const std::string& ClavePrivada);
    int64_t Tamano() const { return sellado_.Tamano(); }
    // Replaces the row. False (the database as it was) when any step fails.
    bool Escribir(BaseAdmin& base, bool Progreso);

private:
    std::string digestCifrado_, firma_;
    platform::ArchivoSellado sellado_;
};

} // namespace olvado::admin
