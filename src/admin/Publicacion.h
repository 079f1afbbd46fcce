// One publication of a package: the file held so that its bytes cannot
// change while it is published (the digest, the signature and every byte
// stored come from that one copy), and the product's rows, BinariosAct and its
// pieces (updater/PaqueteEnTrozos.h), replaced in one transaction, so a reader
// never sees half a publication.
#pragma once

#include "admin/VersionesGuardadas.h"
#include "platform/ArchivoSellado.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::admin {

class BaseAdmin;

class Publicacion {
public:
    std::string archivo, producto;
    // "" the general package (BinariosAct); else the ring's (PaqueteAnillo.h).
    std::string anillo;
    int32_t major = 0, minor = 0, revision = 0;
    // The pieces as one zstd stream of the package (Compresion = 1).
    bool comprimir = false;
    // Deltas from the last this many versions, whose pieces are kept for them.
    int32_t deltas = 1;

    // Each delta made by Escribir, stored or not (over half the package).
    struct Delta {
        VersionesGuardadas::Version base;
        int64_t bytes = 0;
        bool guardado = false;
    };
    std::vector<Delta> hechos;

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
    bool EscribirTrozos(BaseAdmin& base, const std::vector<VersionesGuardadas::Version>& guardadas);
    bool LeerContenido();
    bool Deltas(BaseAdmin& base, std::vector<VersionesGuardadas::Version>& guardadas);
    std::string ClaveTrozos() const;

    std::string digestCifrado_, firma_;
    platform::ArchivoSellado sellado_;
    // The package in memory, read only when it is compressed or diffed.
    std::string contenido_;
    bool leido_ = false;
};

} // namespace olvado::admin
