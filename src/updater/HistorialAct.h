// The fleet's history: one row of table HistorialAct per run of the updater
// that opened the database, so the publisher sees which workstations updated,
// which are behind and which failed, without walking to their run logs.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {

// Columns a later publisher adds: how a run had its package (Paquete's
// kVia...) and the bytes it read from the server for it.
inline constexpr const char* kColumnaVia = "Via";
inline constexpr const char* kColumnaBytesLeidos = "BytesLeidos";

// Adds this workstation's row (name, user, product, installed version,
// Resultado, the server's time; the ring of a ring's workstation; how the
// package was had and the bytes pulled, when this run had one) through the
// process-wide database object. A missing table or column, a user without
// the right to insert or a closed database change nothing: no message, no
// log line. A run that had a package also says how in the system's log.
void AnotarHistorial(const std::string& Resultado, int32_t Major, int32_t Minor, int32_t Revision);

} // namespace olvado
