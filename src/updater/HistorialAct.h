// The fleet's history: one row of table HistorialAct per run of the updater
// that opened the database, so the publisher sees which workstations updated,
// which are behind and which failed, without walking to their run logs.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {

// Adds this workstation's row (name, user, product, installed version,
// Resultado, the server's time) through the process-wide database object. A
// missing table, a user without the right to insert or a closed database
// change nothing: no message, no log line.
void AnotarHistorial(const std::string& Resultado, int32_t Major, int32_t Minor, int32_t Revision);

} // namespace olvado
