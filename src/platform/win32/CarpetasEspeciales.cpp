// Win32 only: SHGetFolderPathA.
#include "platform/CarpetasEspeciales.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>
#include <shlobj.h>

namespace olvado::platform {

std::string RutaEspecial(intptr_t hWnd, int32_t csidl) {
    char buf[MAX_PATH] = {};
#ifdef _WIN64
    // What a 32-bit program gets for 38 on 64-bit Windows.
    if ((csidl & 0xFF) == CSIDL_PROGRAM_FILES)
        csidl = (csidl & ~0xFF) | CSIDL_PROGRAM_FILESX86;
#endif
    // Token -1 and flags 0 (SHGFP_TYPE_CURRENT): the arguments the program's
    // lookup is defined by.
    HRESULT hr = SHGetFolderPathA(reinterpret_cast<HWND>(hWnd), csidl, reinterpret_cast<HANDLE>(-1), 0, buf);
    return hr == S_OK ? DesdeAnsi(buf) : "";
}

} // namespace olvado::platform
