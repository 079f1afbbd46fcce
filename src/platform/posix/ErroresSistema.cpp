// POSIX error texts and the errno translation: our own table, in Spanish.
#include "platform/ErroresSistema.h"
#include "platform/posix/ErroresPosix.h"

#include <cerrno>

namespace olvado::platform {

std::string TextoErrorSistema(int32_t codigo) {
    // The wording of a Spanish Windows, line end included.
    switch (codigo) {
    case kErrorCorrecto:
        return "La operación se completó correctamente.\r\n";
    case kErrorArchivoNoEncontrado:
        return "El sistema no puede encontrar el archivo especificado.\r\n";
    case kErrorAccesoDenegado:
        return "Acceso denegado.\r\n";
    case kErrorGeneral:
        return "Uno de los dispositivos vinculados al sistema no funciona.\r\n";
    case kErrorDirectorioNoValido:
        return "El nombre del directorio no es válido.\r\n";
    case kErrorInicioSesion:
        return "El nombre de usuario o la contraseña no son correctos.\r\n";
    default:
        return "";
    }
}

int32_t CodigoDesdeErrno(int error) {
    switch (error) {
    case 0:
        return kErrorCorrecto;
    case ENOENT:
        return kErrorArchivoNoEncontrado;
    case EACCES:
    case EPERM:
    case ETXTBSY:
    case EROFS:
        return kErrorAccesoDenegado;
    case ENOTDIR:
        return kErrorDirectorioNoValido;
    default:
        return kErrorGeneral;
    }
}

} // namespace olvado::platform
