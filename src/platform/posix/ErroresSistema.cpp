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
    case kErrorRutaNoEncontrada:
        return "El sistema no puede encontrar la ruta especificada.\r\n";
    case kErrorSinManejadores:
        return "El sistema no puede abrir el archivo.\r\n";
    case kErrorAccesoDenegado:
        return "Acceso denegado.\r\n";
    case kErrorManejadorNoValido:
        return "Controlador no válido.\r\n";
    case kErrorOtraUnidad:
        return "El sistema no puede mover el archivo a una unidad de disco distinta.\r\n";
    case kErrorArchivoEnUso:
        return "El proceso no tiene acceso al archivo porque está siendo utilizado por otro proceso.\r\n";
    case kErrorArchivoExiste:
        return "El archivo existe.\r\n";
    case kErrorParametro:
        return "El parámetro no es correcto.\r\n";
    case kErrorDiscoLleno:
        return "No hay espacio suficiente en el disco.\r\n";
    case kErrorNombreLargo:
        return "El nombre del archivo o la extensión es demasiado largo.\r\n";
    case kErrorGeneral:
        return "Uno de los dispositivos vinculados al sistema no funciona.\r\n";
    case kErrorDirectorioNoValido:
        return "El nombre del directorio no es válido.\r\n";
    case kErrorSinPrivilegio:
        return "El cliente no dispone de un privilegio requerido.\r\n";
    case kErrorSinAsociacion:
        return "No hay ninguna aplicación asociada con el archivo especificado para esta operación.\r\n";
    case kErrorInicioSesion:
        return "El nombre de usuario o la contraseña no son correctos.\r\n";
    case kErrorContrasenaCaducada:
        return "La contraseña de esta cuenta ha expirado.\r\n";
    case kErrorTiempoAgotado:
        return "Esta operación ha vuelto porque ha expirado el período de tiempo de espera.\r\n";
    default:
        return "";
    }
}

std::string TextoErrorApi(int32_t codigo, const std::string&) { return TextoErrorSistema(codigo); }

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
    case EISDIR:
        return kErrorAccesoDenegado;
    case EMFILE:
    case ENFILE:
        return kErrorSinManejadores;
    case EWOULDBLOCK: // a flock held by another writer (FileSystem.h)
        return kErrorArchivoEnUso;
    case EEXIST:
        return kErrorArchivoExiste;
    case ENOSPC:
    case EDQUOT:
        return kErrorDiscoLleno;
    case EXDEV:
        return kErrorOtraUnidad;
    case EINVAL:
        return kErrorParametro;
    case ENAMETOOLONG:
        return kErrorNombreLargo;
    default:
        return kErrorGeneral;
    }
}

int32_t UltimoErrorSistema() { return CodigoDesdeErrno(errno); }

} // namespace olvado::platform
