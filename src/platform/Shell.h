// Starting a program or document the way the shell does. Windows:
// ShellExecuteExA with the launch record as the administrator module fills
// it (no working folder, show mode 0), and WaitForSingleObject without limit.
// Linux: a file beginning with "#!" or the ELF magic is started directly (the
// owner's execute bit set when missing), a PE file through wine when it is
// installed, any other document through xdg-open; elevation through pkexec;
// the parameters are cut by the Windows command-line rules; waiting is
// waitpid. Both: true when the request was accepted (the program started);
// with esperar, only after it has ended. A fault (out of memory, a text the
// code page cannot take) reaches the caller.
#pragma once

#include <cstdint>
#include <string>

namespace olvado::platform {

class ArchivoSellado;

// archivo: the program or document; parametros "" passes no argument text at
// all; ventana: an owner window handle, 0 for none; elevado: the "runas" verb.
// sellado, when given, is archivo held open since its digest was checked:
// what starts is that open file (see ArchivoSellado.h).
bool EjecutarConShell(const std::string& archivo, const std::string& parametros, int32_t ventana, bool esperar,
                      bool elevado, const ArchivoSellado* sellado = nullptr);

} // namespace olvado::platform
