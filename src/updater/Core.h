// The process-wide service objects and the small procedures beside Main: the
// run log and RegistrarLog, the administrator-account message, and the
// release of the objects at the end of the run.
#pragma once

#include "common/clsFileLog.h"
#include "common/clsStgComunes.h"
#include "database/clsDB.h"
#include "database/clsSqlSyntaxEngine.h"
#include "platform/FechaHoraLocal.h"
#include "updater/Paquete.h"
#include "updater/Vigia.h"

#include <memory>
#include <string>

namespace olvado {

// Owned by the start-up sequence; one instance, reached through Servicios().
// Members are destroyed in reverse order, so the log, declared first, goes
// last and its destruction writes the file after everything else is gone.
struct ServiciosGlobales {
    std::unique_ptr<clsFileLog> Log; // PrepararLog .. end of the program
    // CrearObjetos .. CerrarObjetos:
    std::unique_ptr<clsStgComunes> Comunes;
    std::unique_ptr<clsDB> DB;
    std::unique_ptr<clsSqlSyntaxEngine> SQL;
    // The conversation's driver calls and their watchdog, released first.
    std::shared_ptr<ado::LlamadasDriver> Llamadas;
    std::unique_ptr<Vigia> Vigilante;
    // The update engine's package, from the version check to the launch: it
    // outlives CerrarObjetos, because the database is closed before the held
    // file starts. Made by the first check or preparation that needs it.
    std::unique_ptr<olvado::Paquete> Paquete;
};

ServiciosGlobales& Servicios();

// Creates the log and points it at Documents + NombreArchivo. A failure to
// create it shows MensajeCuentaAdministrativa and answers false.
bool PrepararLog(const std::string& NombreArchivo);
// One timestamped entry per call when the log exists; every step logs through it.
void RegistrarLog(const std::string& Texto, bool NuevaLinea = true);
// The whole database conversation of a run (every connection, statement,
// piece and retry) ends this many seconds after the objects are created.
inline constexpr int32_t kPlazoConversacionSegundos = 1800;
// kPlazoConversacionSegundos, or less when OLVADO_PLAZO_BASE_DATOS names
// fewer seconds: the caller's environment can only shorten a run.
int32_t PlazoConversacion();
// Creates the service objects, starts the conversation's watchdog (which
// ends a run whose driver call outlives the deadline or a signal with "Ejecucion
// interrumpida por la senal N", the log written, and that signal's status)
// and opens the database (AbrirConexionDB). A
// run-time error logs "Error generando objetos", shows
// MensajeCuentaAdministrativa and answers false.
bool CrearObjetos();
// Stops the watchdog, then releases the database object, the SQL dialect engine and the common
// utilities, in that order, ignoring every error.
void CerrarObjetos();
// The database object's AbrirDB(AvisarError true, SinAsistente false).
bool AbrirConexionDB();
// AbrirRs with static cursor, optimistic lock, options -1, AvisarError true
// and no count.
bool AbrirConsulta(std::unique_ptr<ado::Recordset>& Rs, const std::string& SQL);
// The server's date and time as this workstation's local time (its own time
// when the query fails, and for Access and SQLite files, which keep no clock
// of their own). The server's UTC is compared with the workstation's UTC.
// With Sincronizar, a clock more than five minutes away is set to the
// server's instant, unless the system keeps the clock synchronised or the
// workstation requires signed packages (it does not trust the database that
// far); the system's log receives every change and every refusal, with both
// times (FechaHoraServidor.cpp).
platform::FechaHoraLocal FechaHoraServidor(bool Sincronizar);
// The run-time teardown after Main: the remaining service objects and the
// package, then the log, whose destruction writes the run log. Safe to call more than once.
void LiberarServicios();
// "No podrá completarse esta actualización..." with the exclamation icon.
void MensajeCuentaAdministrativa();

} // namespace olvado
