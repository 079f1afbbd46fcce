// Win32 workstation and account names, in the ANSI code page.
#include "platform/Equipo.h"

#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {

std::string NombreEquipo() {
    char nombre[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD n = sizeof nombre;
    return GetComputerNameA(nombre, &n) ? DesdeAnsi(std::string(nombre, n)) : std::string();
}

std::string NombreUsuario() {
    char nombre[257] = {}; // UNLEN + 1
    DWORD n = sizeof nombre;
    // n counts the closing NUL.
    return GetUserNameA(nombre, &n) && n > 0 ? DesdeAnsi(std::string(nombre, n - 1)) : std::string();
}

} // namespace olvado::platform
