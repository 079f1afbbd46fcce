// The one platform entry point of every launch: a program or document started
// through the shell (optionally elevated) or under another account.
//
// Windows: the shell routes are ShellExecuteExA with the request's verb
// ("runas" when elevated; none: the file's default action), owner window and
// show state; the account routes are CreateProcessWithLogonW (one call that
// logs on, loads the profile and starts) or LogonUserA + CreateProcessAsUserA
// (interactive logon, then a start with its token), both with
// CREATE_DEFAULT_ERROR_MODE, the normal priority class and a bare
// STARTUPINFO. Only there do the arguments become a command line.
// Both: a program starts in the request's folder, else in its own (a path
// without a folder: the caller's current one).
// Linux: a file beginning with "#!" or the ELF magic is started directly (the
// owner's execute bit set when missing), a PE file through wine, any other
// document through xdg-open, not waited for, a "mailto:" link through
// xdg-email (else xdg-open), whose answer is waited for up to 10 s (a failure
// is 1155, Windows' answer when no program takes mail links; still running
// then is a start); the elevated shell goes through pkexec; another
// account through `su -l` in a pseudo-terminal, answering its password prompt
// (the domain has no meaning there). Those helpers are named by absolute path
// from the system's folders, never found through $PATH, and a child that runs
// as another account (or as root) gets an environment built for that account
// and a known process state (posix/Lanzar.h), not ours.
// Verbs other than "runas" and the show state have no Linux meaning.
// Both: waiting is without limit. The answer is 0 when the program started
// (and, with esperar, has ended), else a Windows error code: on Linux 2 for a
// missing program or helper, 5 for one the account may not run, 267 for a bad
// working folder, 1314 for a process state of ours that could not be made a
// known one, 1326 for a wrong user or password (or an account that may
// not log on), 1330 when the account must choose a new password first, 1460
// when su has not started the program within a minute (su is then ended). A
// fault (out of memory, a text the code page cannot take) reaches the caller.
// Tests put a fake in place (base/Servicio.h).
#pragma once

#include "base/Servicio.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::platform {

class ArchivoSellado;

inline constexpr int32_t SW_HIDE_ = 0;
inline constexpr int32_t SW_SHOWNORMAL_ = 1;

enum class RutaLanzamiento {
    Shell,          // as the caller, the file's own way of starting
    ShellElevado,   // the same, elevated ("runas")
    Cuenta,         // under another account: logon and start in one call
    CuentaConFicha, // under another account: logon first, then start with its token
};

// The launch request. It is a plain record of this layer because this layer
// carries it out and may not include the process layer; the process layer
// alone fills one in (process/Lanzamiento.h) and chooses its route there.
struct PeticionLanzamiento {
    RutaLanzamiento ruta = RutaLanzamiento::Shell;
    std::string archivo;                 // the program or document
    std::vector<std::string> argumentos; // each one whole; none: no argument text at all
    // The caller's parameter text as written, when it gave one: the Windows
    // shell routes hand it to ShellExecuteEx unchanged (argumentos are its
    // reading, for every other road); empty: argumentos quoted.
    std::string parametros;
    std::string carpeta;                 // "" the file's own (Windows account routes: an empty text)
    std::string usuario, dominio, contrasena; // account routes
    bool esperar = false;
    std::string verbo;      // shell: "" the default action, "open", "Open" ...
    int32_t ventana = 0;    // owner window, 0 none
    int32_t mostrar = SW_HIDE_;
    // archivo held open since its digest was checked: what starts is that
    // open file (see ArchivoSellado.h).
    const ArchivoSellado* paquete = nullptr;
};

class ILanzador : public Servicio<ILanzador> {
public:
    static ILanzador& DelSistema();
    virtual ~ILanzador() = default;
    virtual int32_t Lanzar(const PeticionLanzamiento& peticion) = 0;
};

} // namespace olvado::platform
