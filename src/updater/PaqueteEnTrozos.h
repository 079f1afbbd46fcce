// The package as ordered pieces in a table of its own beside BinariosAct (one
// row per piece: Producto, Major, Minor, Revision, Trozo numbered from 0,
// MD5Hash, the enciphered digest of the whole package exactly as its
// BinariosAct row stores it, and Datos, at most kTamanoTrozo bytes), which
// olvado-admin writes in the publication's own transaction. A reader takes one
// piece per statement, so neither the server nor a workstation ever holds
// more than one piece, and a server with stock settings (16 MiB packets)
// serves a package of any size. Pieces belong to the exact bytes they make:
// a piece whose product is not the product byte for byte (a collation that
// ignores case or trailing blanks decides nothing here) or whose MD5Hash is
// not the row's current one is never used.
#pragma once

#include "database/ado/Valor.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace olvado {

class clsDB;

// " WHERE Producto = " + ProductoSql + " AND Major = ... AND Minor = ... AND
// Revision = ...": one version's rows, in BinariosAct and in its pieces.
std::string CondicionVersion(const std::string& ProductoSql, int32_t Major, int32_t Minor, int32_t Revision);

// A column that a row may lack (added by a later publisher: Firma,
// Compresion) of the first row " FROM ... WHERE ..." (Condicion) names; none
// for no such column (its failed statement quiet), no row or a NULL.
std::optional<ado::Valor> ColumnaOpcional(clsDB& DB, const std::string& Columna, const std::string& Condicion);

class PaqueteEnTrozos {
public:
    static constexpr int64_t kTamanoTrozo = int64_t{1} << 20;
    static constexpr const char* kTabla = "BinariosActTrozos";
    // The deltas' pieces, laid out alike, with the base's enciphered digest
    // (MD5Base, as the base's row stored it) and the target's size (Tamano).
    static constexpr const char* kTablaDeltas = "BinariosActDeltas";

    // Tabla: where the pieces are; Condicion: the " WHERE ..." that names one
    // product and version on that table's Producto, Major, Minor, Revision.
    PaqueteEnTrozos(clsDB& DB, std::string Tabla, std::string Condicion);

    // How many pieces of that version belong to Producto's package whose
    // digest is HashCifrado; 0 when none (or no such table: a package
    // published in Binario only). Motivo gets why the pieces could not be
    // read at all (no such table, no right to read it), for a caller that
    // has nothing else to write.
    int64_t Contar(const std::string& Producto, const std::string& HashCifrado, std::string& Motivo);
    // Piece i of Trozos of that package into destino (n bytes, at least one
    // more than kTamanoTrozo): its size. Every piece but the last is exactly
    // kTamanoTrozo bytes, the last 1 to kTamanoTrozo. -1 with Motivo when
    // it is missing, of another size, unreadable or refused.
    int64_t LeerTrozo(int64_t i, int64_t Trozos, const std::string& Producto, const std::string& HashCifrado,
                      uint8_t* destino, size_t n, std::string& Motivo);

private:
    clsDB& db_;
    std::string tabla_, condicion_, datos_;
};

} // namespace olvado
