// The process-wide service objects and the small procedures beside Main: the
// run log and RegistrarLog, the administrator-account message, and the
// release of the objects at the end of the run.
#pragma once

#include "common/clsFileLog.h"
#include "common/clsStgComunes.h"

#include <memory>
#include <string>

namespace olvado {

// Owned by the start-up sequence; one instance, reached through Servicios().
// Members are destroyed in reverse order, so the log, declared first, goes
// last and its destruction writes the file after everything else is gone.
struct ServiciosGlobales {
    std::unique_ptr<clsFileLog> Log; // PrepararLog .. end of the program
    // CrearObjetos .. CerrarObjetos, with the classes that fill them:
    std::unique_ptr<clsStgComunes> Comunes;
    //   std::unique_ptr<clsDB> DB;
    //   std::unique_ptr<clsSqlSyntaxEngine> SQL;
};

ServiciosGlobales& Servicios();

// Creates the log and points it at Documents + NombreArchivo. A failure to
// create it shows MensajeCuentaAdministrativa and answers false.
bool PrepararLog(const std::string& NombreArchivo);
// One timestamped entry per call when the log exists (Part of every step).
void RegistrarLog(const std::string& Texto, bool NuevaLinea = true);
// Releases the database object, the SQL dialect engine and the common
// utilities, in that order, ignoring every error.
void CerrarObjetos();
// The run-time teardown after Main: the remaining service objects, then the
// log, whose destruction writes the run log. Safe to call more than once.
void LiberarServicios();
// "No podrá completarse esta actualización..." with the exclamation icon.
void MensajeCuentaAdministrativa();

} // namespace olvado
