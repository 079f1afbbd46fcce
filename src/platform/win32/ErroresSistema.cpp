// Win32 error texts: the system's message table through FormatMessageA.
#include "platform/ErroresSistema.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {

std::string TextoErrorSistema(int32_t codigo) {
    // 1024 characters of room, of which 200 are offered: a longer message
    // fails and gives "".
    char buf[1024] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, static_cast<DWORD>(codigo), 0, buf, 200, nullptr);
    return DesdeAnsi(std::string(buf, n));
}

int32_t UltimoErrorSistema() { return static_cast<int32_t>(GetLastError()); }

std::string TextoErrorApi(int32_t codigo, const std::string& modulo) {
    char buf[256] = {};
    DWORD n = 0;
    if (!modulo.empty()) {
        HMODULE h = GetModuleHandleA(AAnsi(modulo).c_str());
        if (h)
            n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, h,
                               static_cast<DWORD>(codigo), 0, buf, sizeof buf, nullptr);
    }
    if (n == 0)
        n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(codigo), 0, buf, sizeof buf, nullptr);
    return DesdeAnsi(std::string(buf, n));
}

} // namespace olvado::platform
