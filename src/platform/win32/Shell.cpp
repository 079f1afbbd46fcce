// Win32 shell launch: ShellExecuteExA and an unlimited wait on the process.
#include "platform/Shell.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

namespace olvado::platform {
namespace {
// sellado needs nothing here: while it is held, its path cannot be written,
// renamed or replaced, and the shell starts that very file.
class ShellWin32 final : public IShell {
public:
    bool Ejecutar(const PeticionShell& p) override {
        std::string archivoAnsi = AAnsi(p.archivo);
        std::string parametrosAnsi = AAnsi(p.parametros);
        // cbSize is the record's own size: 60 bytes in a 32-bit process, 112
        // in a 64-bit one (pointer-sized fields); the fields set are the same.
        SHELLEXECUTEINFOA sei{};
        sei.cbSize = sizeof sei;
        sei.fMask = p.esperar ? SEE_MASK_NOCLOSEPROCESS : 0;
        sei.hwnd = p.ventana ? reinterpret_cast<HWND>(static_cast<intptr_t>(p.ventana)) : nullptr;
        sei.lpVerb = p.verbo.empty() ? nullptr : p.verbo.c_str();
        sei.lpFile = archivoAnsi.c_str();
        sei.lpParameters = p.parametros.empty() ? nullptr : parametrosAnsi.c_str();
        sei.nShow = p.mostrar;
        bool ok = ShellExecuteExA(&sei) != 0;
        Handle proceso(sei.hProcess);
        if (p.esperar && proceso)
            WaitForSingleObject(proceso.Get(), INFINITE);
        return ok;
    }
};

} // namespace

IShell& IShell::DelSistema() {
    static ShellWin32 s;
    return s;
}

} // namespace olvado::platform
