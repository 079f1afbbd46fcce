// Starting a program or document the way the shell does. Windows:
// ShellExecuteExA with the request's verb (none: the file's default action),
// owner window and show state, no working folder, and WaitForSingleObject
// without limit. Linux: a file beginning with "#!" or the ELF magic is started
// directly (the owner's execute bit set when missing), a PE file through wine
// when it is installed, any other document through xdg-open, a "mailto:" link
// through /usr/bin/xdg-email (else xdg-open), not waited for; "runas" goes
// through pkexec, other verbs and the show state have no Linux meaning; the
// parameters are cut by the Windows command-line rules; waiting is waitpid.
// Both: true when the request was accepted (the program started); with
// esperar, only after it has ended. A fault (out of memory, a text the code
// page cannot take) reaches the caller. Tests put a fake in place (base/Servicio.h).
#pragma once

#include "base/Servicio.h"

#include <cstdint>
#include <string>

namespace olvado::platform {

class ArchivoSellado;

inline constexpr int32_t SW_HIDE_ = 0;
inline constexpr int32_t SW_SHOWNORMAL_ = 1;

// archivo: the program or document; parametros "" passes no argument text at
// all; ventana: an owner window handle, 0 for none. sellado, when given, is
// archivo held open since its digest was checked: what starts is that open
// file (see ArchivoSellado.h).
struct PeticionShell {
    std::string verbo; // "" the default action, "runas" elevated, "open", "Open" ...
    std::string archivo;
    std::string parametros;
    int32_t ventana = 0;
    int32_t mostrar = SW_HIDE_;
    bool esperar = false;
    const ArchivoSellado* sellado = nullptr;
};

class IShell : public Servicio<IShell> {
public:
    static IShell& DelSistema();
    virtual ~IShell() = default;
    virtual bool Ejecutar(const PeticionShell& peticion) = 0;
};

inline bool EjecutarConShell(const PeticionShell& peticion) { return IShell::Actual().Ejecutar(peticion); }

// The launch record of the administrator module: hidden, "runas" when elevado.
inline bool EjecutarConShell(const std::string& archivo, const std::string& parametros, int32_t ventana,
                             bool esperar, bool elevado, const ArchivoSellado* sellado = nullptr) {
    return EjecutarConShell({elevado ? "runas" : "", archivo, parametros, ventana, SW_HIDE_, esperar, sellado});
}

} // namespace olvado::platform
