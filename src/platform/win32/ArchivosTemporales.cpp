// Win32 only: GetTempPathA and GetTempFileNameA.
#include "platform/ArchivosTemporales.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {

std::string CarpetaTemporal() {
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetTempPathA(MAX_PATH, buf);
    return (n == 0 || n > MAX_PATH) ? "" : DesdeAnsi(buf);
}

bool CrearArchivoTemporal(const std::string& carpeta, const std::string& prefijo, std::string& resultado) {
    char buf[MAX_PATH] = {};
    if (GetTempFileNameA(AAnsi(carpeta).c_str(), AAnsi(prefijo).c_str(), 0, buf) == 0)
        return false;
    resultado = DesdeAnsi(buf);
    return true;
}

} // namespace olvado::platform
