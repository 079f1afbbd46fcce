// One pilot ring of a product as the publisher handles it: its package row
// (BinariosActAnillo, updater/PaqueteAnillo.h), how far that package has
// gone through the ring according to HistorialAct, and the two ways out of
// the ring: promotion to the general package, or withdrawal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::admin {

class BaseAdmin;

class AnilloAdmin {
  public:
    AnilloAdmin(BaseAdmin& base, std::string producto, std::string anillo);

    // The rings of the product that have a package, by name; empty when there
    // is no ring table.
    static std::vector<std::string> Publicados(BaseAdmin& base, const std::string& producto);

    // Reads the ring's row; false when it has none (or there is no table).
    bool Leer();
    int32_t major = 0, minor = 0, revision = 0;
    bool firmado = false;

    // The ring's workstations are those whose last run recorded the ring.
    // One that runs the ring's version or later has it; one whose last run
    // failed (HistorialAct's digest, signature or digest-less results, or a
    // run stopped before the installer) while still below it failed on it.
    // Results no one knows count as neither.
    struct Despliegue {
        int estaciones = 0, conVersion = 0;
        std::vector<std::string> fallidas;
        int Ejecutaron() const { return conVersion + static_cast<int>(fallidas.size()); }
    };
    // False when HistorialAct (or its column Anillo) cannot be read: then
    // nobody is known to have run anything.
    bool LeerDespliegue(Despliegue& d);

    // The ring's package becomes the product's general one, and the ring
    // loses it, in one transaction: the general row is replaced by the ring's,
    // the general pieces by the ring's, re-keyed in place. False (the database
    // as it was) with the reason on standard error.
    bool Promover();
    // The ring's row and pieces go, in one transaction.
    bool Retirar();

  private:
    bool EnTransaccion(const std::vector<std::string>& pasos, const std::string& que);

    BaseAdmin& base_;
    std::string producto_, anillo_;
};

} // namespace olvado::admin
