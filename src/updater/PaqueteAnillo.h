// Pilot rings: a package published for the workstations of one ring only
// (those whose product key holds the text value "Anillo"), in a table beside
// BinariosAct with the same columns and the ring's name. Its pieces stand in
// BinariosActTrozos under a key of their own (ProductoTrozosAnillo), so that
// promoting the ring's package to the general one re-keys them in place
// instead of copying them.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {

class clsDB;
class clsSqlSyntaxEngine;
class clsStgComunes;

inline constexpr const char* kTablaAnillo = "BinariosActAnillo";
inline constexpr const char* kValorAnillo = "Anillo";
// The longest ring name: its piece key must fit the 50 characters of
// BinariosActTrozos.Producto beside the product's name.
inline constexpr size_t kLargoAnillo = 20;

// Letters, digits, "-" and "_", 1 to kLargoAnillo characters: a name that
// reads the same on every engine and in every log, and never holds the
// separator of the piece key.
bool NombreAnilloValido(const std::string& Anillo);
// Producto + "@" + Anillo: the Producto of the ring's rows in BinariosActTrozos.
std::string ProductoTrozosAnillo(const std::string& Producto, const std::string& Anillo);
// This workstation's ring: the text value "Anillo" of the product's key in
// HKEY_LOCAL_MACHINE, trimmed; "" when there is none, or when it is no valid
// ring name (then the workstation is a plain one, as if the value were not
// there: a name that could not have been published takes no package).
std::string AnilloEstacion(clsStgComunes& Comunes);

// Where this run's package row is: BinariosAct, the only table a plain
// workstation ever reads, or its ring's row, which a workstation of a ring
// takes when it is newer than the general one. The run's Paquete holds it.
class OrigenPaquete {
  public:
    // "" for the general row.
    const std::string& Anillo() const { return anillo_; }
    void General() { anillo_.clear(); }
    // "BinariosAct" or the ring table.
    std::string Tabla() const;
    // "" or " AND Anillo = '...'": appended to a condition on the row.
    std::string Filtro(const clsSqlSyntaxEngine& SQL) const;
    // The Producto of the row's pieces.
    std::string ClaveTrozos(const std::string& Producto) const;

    // After the general row was read (Hay false when there is none): when
    // Anillo names a ring (else nothing is read) whose row for Producto is
    // newer, the version and digest become the ring's and so does this origin. A ring
    // table that does not open, or no row, leaves the general row. True when
    // the ring's row was taken.
    bool ElegirAnillo(clsDB& DB, const clsSqlSyntaxEngine& SQL, const std::string& Producto,
                      const std::string& Anillo, bool& Hay, int32_t& Major, int32_t& Minor, int32_t& Revision,
                      std::string& HashCifrado);

  private:
    std::string anillo_;
};

} // namespace olvado
