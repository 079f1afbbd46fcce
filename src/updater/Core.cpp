#include "updater/Core.h"

#include "common/Texto.h"
#include "platform/MessageBox.h"

namespace olvado {

ServiciosGlobales& Servicios() {
    static ServiciosGlobales servicios;
    return servicios;
}

bool PrepararLog(const std::string& NombreArchivo) {
    try {
        Servicios().Log = std::make_unique<clsFileLog>();
    } catch (...) {
        MensajeCuentaAdministrativa();
        return false;
    }
    Servicios().Log->EstablecerNombreArchivoDestinoEnMisDocumentos(NombreArchivo);
    return true;
}

void RegistrarLog(const std::string& Texto, bool NuevaLinea) {
    if (auto& log = Servicios().Log)
        log->AgregarLog(Texto, NuevaLinea);
}

void CerrarObjetos() {
    // Each reset goes here, database object first, inside its own try.
    try {
        Servicios().Comunes.reset();
    } catch (...) {
    }
}

void LiberarServicios() {
    CerrarObjetos();
    Servicios().Log.reset();
}

void MensajeCuentaAdministrativa() {
    std::string crlf(vbCrLf);
    platform::MsgBox("No podrá completarse esta actualización de Olvado desde esta cuenta de usuario" + crlf + crlf +
                         "Favor inicie Olvado desde una cuenta Administrativa de Windows para completar la "
                         "actualización",
                     platform::vbExclamation | platform::vbOKOnly, "Actualización Olvado");
}

} // namespace olvado
