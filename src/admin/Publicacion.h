// One publication of a package: the file held so that its bytes cannot
// change while it is published (the digest, the signature and every byte
// stored come from that one copy), and the product's rows, BinariosAct and its
// pieces (updater/PaqueteEnTrozos.h), replaced in one transaction, so a reader
// never sees half a publication.
#pragma once

#include "platform/ArchivoSellado.h"

#include <cstdint>
#include <string>

namespace olvado::admin {

class BaseAdmin;

class Publicacion {
public:
    std::string archivo, producto;
    // "" the general package (BinariosAct); else the ring's (PaqueteAnillo.h).
    std::string anillo;
    int32_t major = 0, minor = 0, revision = 0;

    // Holds the file and reads it once for the MD5 digest and, with a
    // private key, the signature. False when it cannot be held or read.
    bool Sellar(const std::string& ClavePrivada);
    int64_t Tamano() const { return sellado_.Tamano(); }
    // The largest value the server takes in one statement (MariaDB's
    // max_allowed_packet); -1 where the engine sets no such limit.
    static int64_t LimiteDelServidor(BaseAdmin& base);
    // Replaces the rows; Binario is filled only with ConBinario. False (the
    // database as it was) when any step fails.
    bool Escribir(BaseAdmin& base, bool ConBinario, bool Progreso);

private:
    bool EscribirTrozos(BaseAdmin& base);
    std::string ClaveTrozos() const;

    std::string digestCifrado_, firma_;
    platform::ArchivoSellado sellado_;
};

} // namespace olvado::admin
