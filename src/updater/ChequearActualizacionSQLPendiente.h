// The registry marks that carry update state between runs, in the product's
// own key (HKEY_LOCAL_MACHINE, no sub-key): "ActualizacionPendiente", 1 while a
// started package has not been seen installed, and "ActualizadorSQLPendiente",
// text while another program of the family updates the database. The marks
// go through the common utilities given (the process-wide one in the updater).
#pragma once

#include <string>

namespace olvado {

class clsStgComunes;

void MarcarActualizacionPendiente(clsStgComunes& Comunes);
void LimpiarActualizacionPendiente(clsStgComunes& Comunes);
// False, after telling the user to restart and clearing the mark, when the
// previous update did not complete; True otherwise.
bool ChequearActualizacionPendiente(clsStgComunes& Comunes);
// True when "ActualizadorSQLPendiente" holds non-blank text; Valor gets it trimmed.
bool ActualizacionSQLPendiente(std::string& Valor, clsStgComunes& Comunes);

} // namespace olvado
