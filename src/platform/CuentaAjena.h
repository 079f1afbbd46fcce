// Starting a command line under another account, given its user name,
// password and domain. Windows has two ways: CreateProcessWithLogonW (one call
// that logs on, loads the user's profile and starts) and LogonUserA +
// CreateProcessAsUserA (interactive logon, then start with its token); both
// with CREATE_DEFAULT_ERROR_MODE and a bare STARTUPINFO. Linux has one, for
// both: `su -l` in a pseudo-terminal, answering its password prompt; the
// domain has no meaning there and is ignored. The program's standard output
// and error are ours; its input is empty.
// Both answer 0 when the process was started (and, with esperar, has ended),
// else a Windows error code: on Linux 1326 for a wrong user or password (or
// an account that may not log on), 2 for a missing program, 5 for one the
// account may not run, 267 for a bad working folder, 1330 when the account
// must choose a new password first (su asks for one), 1460 when su has not
// started the program within a minute; su is then ended.
#pragma once

#include <cstdint>
#include <string>

namespace olvado::platform {

class ArchivoSellado;

// lineaComandos: the program path in double quotes, a blank, the arguments.
// carpeta "" is passed as an empty text (Linux: our own current folder).
// sellado, when given, is the program held open since its digest was checked
// (see ArchivoSellado.h).
int32_t EjecutarConLogonW(const std::string& usuario, const std::string& contrasena, const std::string& dominio,
                          const std::string& lineaComandos, const std::string& carpeta, bool esperar,
                          const ArchivoSellado* sellado = nullptr);
int32_t EjecutarConLogonUser(const std::string& usuario, const std::string& contrasena,
                             const std::string& dominio, const std::string& lineaComandos,
                             const std::string& carpeta, bool esperar, const ArchivoSellado* sellado = nullptr);

} // namespace olvado::platform
