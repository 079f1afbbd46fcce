// Win32 shell routes: ShellExecuteExA and an unlimited wait on the process
// (the account routes are in CuentaAjena.cpp).
#include "platform/RutasLanzamiento.h"

#include "base/Texto.h"
#include "platform/ErroresSistema.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/Lanzar.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

namespace olvado::platform {

// A sealed package needs nothing here: while it is held, its path cannot be
// written, renamed or replaced, and the shell starts that very file.
int32_t LanzarConShell(const PeticionLanzamiento& p) {
    std::string archivoAnsi = AAnsi(p.archivo);
    // A text the caller wrote goes as written: the program reads its own
    // command line, and quotes placed inside an argument
    // (/DIR="C:\Program Files\X") must stay where they were.
    const bool escritos = !p.parametros.empty();
    std::string parametrosAnsi = AAnsi(escritos ? p.parametros : LineaArgumentos(p.argumentos));
    // In the request's folder, else the file's own: not wherever the caller
    // stood (a bare name keeps the caller's, where it means something).
    const size_t barra = p.archivo.find_last_of("\\/");
    std::string carpetaAnsi =
        AAnsi(!p.carpeta.empty() || barra == std::string::npos ? p.carpeta : p.archivo.substr(0, barra + 1));
    const bool elevado = p.ruta == RutaLanzamiento::ShellElevado;
    // cbSize is the record's own size: 60 bytes in a 32-bit process, 112
    // in a 64-bit one (pointer-sized fields); the fields set are the same.
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = p.esperar ? SEE_MASK_NOCLOSEPROCESS : 0;
    sei.hwnd = p.ventana ? reinterpret_cast<HWND>(static_cast<intptr_t>(p.ventana)) : nullptr;
    sei.lpVerb = elevado ? "runas" : p.verbo.empty() ? nullptr : p.verbo.c_str();
    sei.lpFile = archivoAnsi.c_str();
    sei.lpParameters = !escritos && p.argumentos.empty() ? nullptr : parametrosAnsi.c_str();
    sei.lpDirectory = carpetaAnsi.empty() ? nullptr : carpetaAnsi.c_str();
    sei.nShow = p.mostrar;
    if (!ShellExecuteExA(&sei)) {
        const DWORD codigo = GetLastError();
        return codigo ? static_cast<int32_t>(codigo) : kErrorGeneral;
    }
    Handle proceso(sei.hProcess);
    if (p.esperar && proceso)
        WaitForSingleObject(proceso.Get(), INFINITE);
    return kErrorCorrecto;
}

} // namespace olvado::platform
