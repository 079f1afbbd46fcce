// System error codes and their texts. The program speaks Windows error codes
// on both systems: Windows hands them over as they are; the Linux stand-ins
// translate their failures into the few codes below (posix/ErroresPosix.h).
#pragma once

#include <cstdint>
#include <string>

namespace olvado::platform {

inline constexpr int32_t kErrorCorrecto = 0;
inline constexpr int32_t kErrorArchivoNoEncontrado = 2;  // ERROR_FILE_NOT_FOUND
inline constexpr int32_t kErrorRutaNoEncontrada = 3;     // ERROR_PATH_NOT_FOUND
inline constexpr int32_t kErrorSinManejadores = 4;       // ERROR_TOO_MANY_OPEN_FILES
inline constexpr int32_t kErrorAccesoDenegado = 5;       // ERROR_ACCESS_DENIED
inline constexpr int32_t kErrorManejadorNoValido = 6;    // ERROR_INVALID_HANDLE
inline constexpr int32_t kErrorOtraUnidad = 17;          // ERROR_NOT_SAME_DEVICE
inline constexpr int32_t kErrorGeneral = 31;             // ERROR_GEN_FAILURE
inline constexpr int32_t kErrorArchivoEnUso = 32;        // ERROR_SHARING_VIOLATION
inline constexpr int32_t kErrorArchivoExiste = 80;       // ERROR_FILE_EXISTS
inline constexpr int32_t kErrorParametro = 87;           // ERROR_INVALID_PARAMETER
inline constexpr int32_t kErrorDiscoLleno = 112;         // ERROR_DISK_FULL
inline constexpr int32_t kErrorNombreLargo = 206;        // ERROR_FILENAME_EXCED_RANGE
inline constexpr int32_t kErrorMasDatos = 234;           // ERROR_MORE_DATA
inline constexpr int32_t kErrorNoHayMas = 259;           // ERROR_NO_MORE_ITEMS
inline constexpr int32_t kErrorDirectorioNoValido = 267; // ERROR_DIRECTORY
inline constexpr int32_t kErrorRegistroDanado = 1009;    // ERROR_BADDB
inline constexpr int32_t kErrorEsRegistro = 1016;        // ERROR_REGISTRY_IO_FAILED
inline constexpr int32_t kErrorClaveBorrada = 1018;      // ERROR_KEY_DELETED
inline constexpr int32_t kErrorSinPrivilegio = 1314;     // ERROR_PRIVILEGE_NOT_HELD
inline constexpr int32_t kErrorSinAsociacion = 1155;     // ERROR_NO_ASSOCIATION
inline constexpr int32_t kErrorInicioSesion = 1326;      // ERROR_LOGON_FAILURE
inline constexpr int32_t kErrorContrasenaCaducada = 1330; // ERROR_PASSWORD_EXPIRED
inline constexpr int32_t kErrorTiempoAgotado = 1460;     // ERROR_TIMEOUT

// The system's message text for a code, as the system ends it (CR LF), or ""
// when the system has none. Windows: FormatMessageA from the system's table
// with at most 200 characters. Linux: our own Spanish table of the codes above.
std::string TextoErrorSistema(int32_t codigo);

// The lookup of the common utilities' ApiError. Windows: with a module name,
// first that loaded module's message table (FormatMessageA 0x0A00), then, when
// it gives nothing or no module is named, the system's (0x1200); 256
// characters of room; the text as returned. Linux: there are no module
// tables; the table above.
std::string TextoErrorApi(int32_t codigo, const std::string& modulo);
// The code of the last failed platform call of this thread (GetLastError;
// Linux: errno translated).
int32_t UltimoErrorSistema();

} // namespace olvado::platform
