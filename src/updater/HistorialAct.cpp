#include "updater/HistorialAct.h"

#include "common/IdentidadPrograma.h"
#include "database/ado/Connection.h"
#include "database/ado/Motor.h" // the statement's cursor, released here
#include "platform/Equipo.h"
#include "platform/Eventos.h"
#include "updater/Core.h"
#include "updater/Paquete.h"
#include "updater/PaqueteAnillo.h"

#include <vector>

namespace olvado {
namespace {

// The system's log keeps how the package came, beside the failures the
// preparation reports there, for an administrator who reads one workstation.
void RegistrarVia(const Paquete& p) {
    const std::string como = p.Via == kViaDelta        ? "con un delta sobre el paquete anterior"
                             : p.Via == kViaPreparado ? "preparado de antemano"
                                                       : "completo";
    platform::IEventos::Actual().Registrar({ObtenerIdentidadPrograma().Producto, 4, 1, 3002,
                                            "Paquete de actualización obtenido " + como + ": " +
                                                std::to_string(p.BytesLeidos) + " bytes leídos del servidor",
                                            {}});
}

} // namespace

void AnotarHistorial(const std::string& Resultado, int32_t Major, int32_t Minor, int32_t Revision) {
    const Paquete* paquete = Servicios().Paquete.get();
    const bool conVia = paquete && !paquete->Via.empty();
    if (conVia)
        RegistrarVia(*paquete);
    clsDB* db = Servicios().DB.get();
    ado::Connection* cnx = db ? db->Conexion() : nullptr;
    if (!cnx || cnx->State() != ado::adStateOpen)
        return;
    // The texts are parameters, never part of the statement: a workstation or
    // account name is stored as it is on every engine (MariaDB would take a
    // backslash in a literal for an escape). GETDATE() becomes each engine's
    // own: the time is the server's, which every workstation shares.
    // A workstation of a ring records it, and a run that had a package how;
    // a plain run sends the statement it always sent. A table made before
    // those columns still takes the row, without them.
    const std::string anillo = Servicios().Comunes ? AnilloEstacion(*Servicios().Comunes) : "";
    struct Extra {
        const char* columna;
        ado::Valor valor;
    };
    std::vector<Extra> extras;
    if (!anillo.empty())
        extras.push_back({kValorAnillo, anillo});
    if (conVia) {
        extras.push_back({kColumnaVia, paquete->Via});
        extras.push_back({kColumnaBytesLeidos, paquete->BytesLeidos});
    }
    const std::vector<ado::Valor> valores = {platform::NombreEquipo(), platform::NombreUsuario(),
                                             ObtenerIdentidadPrograma().Producto,
                                             Major, Minor, Revision, Resultado};
    auto insertar = [&](size_t cuantos) {
        std::string columnas = "INSERT INTO HistorialAct (Estacion, Usuario, Producto, Major, Minor, Revision, "
                               "Resultado, Fecha";
        std::string marcas = ") VALUES (?, ?, ?, ?, ?, ?, ?, GETDATE()";
        std::vector<ado::Valor> v = valores;
        for (size_t i = 0; i < cuantos; ++i) {
            columnas += std::string(", ") + extras[i].columna;
            marcas += ", ?";
            v.push_back(extras[i].valor);
        }
        try {
            int64_t afectados = -1;
            cnx->Ejecutar(columnas + marcas + ")", v, cnx->CommandTimeout, afectados);
            return true;
        } catch (...) {
            return false;
        }
    };
    // All of them; then the ring alone (a table of the rings' time); then none.
    if (insertar(extras.size()))
        return;
    if (conVia && !anillo.empty() && insertar(1))
        return;
    if (!extras.empty())
        insertar(0);
}

} // namespace olvado
