#include "updater/HistorialAct.h"

#include "common/IdentidadPrograma.h"
#include "database/ado/Connection.h"
#include "database/ado/Motor.h" // the statement's cursor, released here
#include "platform/Equipo.h"
#include "updater/Core.h"
#include "updater/PaqueteAnillo.h"

#include <vector>

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
    // A workstation of a ring records it; a plain one sends the statement it
    // always sent. A table made before rings (no column Anillo) still takes
    // the ring's run, without its ring.
    const std::string anillo = Servicios().Comunes ? AnilloEstacion(*Servicios().Comunes) : "";
    const std::string columnas = "INSERT INTO HistorialAct (Estacion, Usuario, Producto, Major, Minor, Revision, "
                                 "Resultado, Fecha";
    const std::vector<ado::Valor> valores = {platform::NombreEquipo(), platform::NombreUsuario(),
                                             ObtenerIdentidadPrograma().Producto,
                                             Major, Minor, Revision, Resultado};
    auto insertar = [&](bool conAnillo) {
        try {
            int64_t afectados = -1;
            std::vector<ado::Valor> v = valores;
            if (conAnillo)
                v.push_back(anillo);
            cnx->Ejecutar(conAnillo ? columnas + ", Anillo) VALUES (?, ?, ?, ?, ?, ?, ?, GETDATE(), ?)"
                                    : columnas + ") VALUES (?, ?, ?, ?, ?, ?, ?, GETDATE())",
                          v, cnx->CommandTimeout, afectados);
            return true;
        } catch (...) {
            return false;
        }
    };
    if (anillo.empty() || !insertar(true))
        insertar(false);
}

} // namespace olvado
