// Win32 build: no native SQLite provider (the Windows program reaches its
// databases through the OLE DB providers and ODBC); opening one answers a
// clear "provider not available".
#include "database/ado/Motor.h"

namespace olvado::ado::detalle {

std::unique_ptr<Motor> CrearMotorSqlite(Errors& errores) {
    errores.AgregarNumero(adErrProveedorNoEncontrado,
                          "El proveedor \"SQLite\" no está disponible en esta versión de Windows del programa.",
                          "ADODB.Connection");
    return nullptr;
}

bool SqliteNativoDisponible() { return false; }

} // namespace olvado::ado::detalle
