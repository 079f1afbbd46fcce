// Starting a command line under a stored account, by the way the Windows
// version allows: one call that logs on and starts (Windows 2000 and later),
// or a logon followed by a start with its token (older NT). Answers a system
// error code: 0 when the process was started (and, with Esperar, has ended).
// Shows nothing and logs nothing.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {
namespace platform {
class ArchivoSellado;
}

// CommandLine: the program in double quotes, a blank, the arguments (taken
// apart here: see process/Lanzamiento.h). Empty
// Domain and WorkingDirectory are handed over as empty texts. Paquete, when
// given, is the program held open since its digest was checked.
int32_t EjecutarComoUsuario(const std::string& User, const std::string& Password, const std::string& Domain,
                            const std::string& CommandLine, const std::string& WorkingDirectory, bool Esperar,
                            const platform::ArchivoSellado* Paquete = nullptr);
int32_t EjecutarComoUsuario_LogonW(const std::string& User, const std::string& Password,
                                   const std::string& Domain, const std::string& CommandLine,
                                   const std::string& WorkingDirectory, bool Esperar,
                                   const platform::ArchivoSellado* Paquete = nullptr);
int32_t EjecutarComoUsuario_LogonUser(const std::string& User, const std::string& Password,
                                      const std::string& Domain, const std::string& CommandLine,
                                      const std::string& WorkingDirectory, bool Esperar,
                                      const platform::ArchivoSellado* Paquete = nullptr);

} // namespace olvado
