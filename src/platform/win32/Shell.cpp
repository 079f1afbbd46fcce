// Win32 shell launch: ShellExecuteExA and an unlimited wait on the process.
#include "platform/Shell.h"

#include "base/ScopedHandle.h"
#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

namespace olvado::platform {
namespace {
struct HandleTraits {
    using handle_type = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
} // namespace

// sellado needs nothing here: while it is held, its path cannot be written,
// renamed or replaced, and the shell starts that very file.
bool EjecutarConShell(const std::string& archivo, const std::string& parametros, int32_t ventana,
                      bool esperar, bool elevado, const ArchivoSellado* /*sellado*/) {
    std::string archivoAnsi = AAnsi(archivo);
    std::string parametrosAnsi = AAnsi(parametros);
    // cbSize is the record's own size: 60 bytes in a 32-bit process, 112 in
    // a 64-bit one (pointer-sized fields); the fields set are the same.
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = esperar ? SEE_MASK_NOCLOSEPROCESS : 0;
    sei.hwnd = ventana ? reinterpret_cast<HWND>(static_cast<intptr_t>(ventana)) : nullptr;
    sei.lpVerb = elevado ? "runas" : nullptr; // none: the file's default verb
    sei.lpFile = archivoAnsi.c_str();
    sei.lpParameters = parametros.empty() ? nullptr : parametrosAnsi.c_str();
    sei.nShow = 0;
    bool ok = ShellExecuteExA(&sei) != 0;
    ScopedHandle<HandleTraits> proceso(sei.hProcess);
    if (esperar && proceso)
        WaitForSingleObject(proceso.Get(), INFINITE);
    return ok;
}

} // namespace olvado::platform
