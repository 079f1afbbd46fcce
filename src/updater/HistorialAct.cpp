#include "updater/HistorialAct.h"

#include "common/IdentidadPrograma.h"
#include "database/ado/Connection.h"
#include "database/ado/Motor.h" // the statement's cursor, released here
#include "platform/Equipo.h"
#include "updater/Core.h"

namespace olvado {

void AnotarHistorial(const std::string& Resultado, int32_t Major, int32_t Minor, int32_t Revision) {
    clsDB* db = Servicios().DB.get();
    ado::Connection* cnx = db ? db->Conexion() : nullptr;
    if (!cnx || cnx->State() != ado::adStateOpen)
        return;
    // The texts are parameters, never part of the statement: a workstation or
    // account name is stored as it is on every engine (MariaDB would take a
    // backslash in a literal for an escape). GETDATE() becomes each engine's
    // own: the time is the server's, which every workstation shares.
    const std::string insertar = "INSERT INTO HistorialAct (Estacion, Usuario, Producto, Major, Minor, Revision, "
                                 "Resultado, Fecha) VALUES (?, ?, ?, ?, ?, ?, ?, GETDATE())";
    try {
        int64_t afectados = -1;
        cnx->Ejecutar(insertar,
                      {platform::NombreEquipo(), platform::NombreUsuario(), ObtenerIdentidadPrograma().Producto,
                       Major, Minor, Revision, Resultado},
                      cnx->CommandTimeout, afectados);
    } catch (...) {
    }
}

} // namespace olvado
