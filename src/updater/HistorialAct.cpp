#include "updater/HistorialAct.h"

#include "platform/Equipo.h"
#include "updater/Core.h"
#include "common/IdentidadPrograma.h"

namespace olvado {

void AnotarHistorial(const std::string& Resultado, int32_t Major, int32_t Minor, int32_t Revision) {
    clsDB* db = Servicios().DB.get();
    clsSqlSyntaxEngine* sql = Servicios().SQL.get();
    if (!db || !sql)
        return;
    // GETDATE() becomes each engine's own: the time is the server's, which
    // every workstation shares.
    const std::string insertar =
        "INSERT INTO HistorialAct (Estacion, Usuario, Producto, Major, Minor, Revision, Resultado, Fecha) VALUES (" +
        sql->Strg(platform::NombreEquipo()) + ", " + sql->Strg(platform::NombreUsuario()) + ", " +
        sql->Strg(ObtenerIdentidadPrograma().Producto) + ", " + std::to_string(Major) + ", " +
        std::to_string(Minor) + ", " + std::to_string(Revision) + ", " + sql->Strg(Resultado) + ", GETDATE())";
    try {
        db->EjecutarSQL(insertar, nullptr, 0, false);
    } catch (...) {
    }
}

} // namespace olvado
