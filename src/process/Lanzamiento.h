// Every launch of the program is one platform::PeticionLanzamiento, built
// here and handed whole to the platform's one entry point through Lanzar. The
// family's named launchers (EjecutarArchivoComoAdmin below, ShellEjecutarArchivo,
// EjecutarComoUsuario, the common utilities' EjecutarComoAdmin and
// EjecutarArchivo) only choose the route and fill the request in. Also here:
// the account text split into domain and user, and the system's text of an
// error code.
#pragma once

#include "platform/Lanzador.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace olvado {

// One line for the caller's log.
using RegistrarLinea = std::function<void(const std::string& Texto)>;

// A parameters text cut into arguments the way Windows reads a command line
// (blanks separate, double quotes group, backslashes escape only quotes).
std::vector<std::string> PartirParametros(const std::string& Parametros);

// Through the shell, hidden: Elevado uses "runas", otherwise the file's
// default action.
platform::PeticionLanzamiento PeticionShell(const std::string& Archivo, const std::string& Parametros,
                                            int32_t hWnd, bool Esperar, bool Elevado,
                                            const platform::ArchivoSellado* Paquete = nullptr);
// A document or address opened with Verbo in a normal window, not waited for.
platform::PeticionLanzamiento PeticionAbrir(const std::string& Verbo, const std::string& Documento, int32_t hWnd,
                                            const platform::ArchivoSellado* Paquete = nullptr);
// Under another account, by ConFicha's way (logon, then a start with its
// token) or the one-call way. Archivo that begins with a double quote is a
// quoted program, possibly followed by arguments of its own.
platform::PeticionLanzamiento PeticionCuenta(bool ConFicha, const std::string& Usuario,
                                             const std::string& Contrasena, const std::string& Dominio,
                                             const std::string& Archivo, const std::string& Parametros,
                                             const std::string& Carpeta, bool Esperar,
                                             const platform::ArchivoSellado* Paquete = nullptr);

// The one call into the platform: 0 or a system error code (see
// platform/Lanzador.h); a fault reaches the caller.
int32_t Lanzar(const platform::PeticionLanzamiento& Peticion);

// Starts Archivo with Parametros in Carpeta: through the shell (not elevated,
// no owner window) when the current user is an administrator, otherwise
// under the stored account Usuario ("DOMINIO\usuario" or "usuario") with
// Contrasena. With Esperar it returns only after the started process has
// ended. False when the start failed; a failure under the stored account
// hands the system's error text to Registrar, the caller's log (this layer
// keeps no log of its own). hWnd is accepted and not
// used. Paquete, when given, is Archivo held open since its digest was
// checked: that open file is what starts (see platform/ArchivoSellado.h).
// Before Windows 2000 Archivo alone is started without waiting, and a failure
// raises ErrorOlvado to the caller.
bool EjecutarArchivoComoAdmin(int32_t hWnd, const std::string& Archivo, const std::string& Parametros,
                              const std::string& Usuario, const std::string& Contrasena,
                              const std::string& Carpeta, bool Esperar,
                              const platform::ArchivoSellado* Paquete = nullptr,
                              const RegistrarLinea& Registrar = nullptr);

// Splits at the first backslash: "DOM\user" gives user and "DOM"; a leading
// backslash is dropped with every other one ("\a\b" gives "ab" and "");
// without a backslash the whole text is the user and the domain is "".
void SepararDominioUsuario(const std::string& Entrada, std::string& Usuario, std::string& Dominio);

// The system's message text for an error code, "" when it has none.
std::string TextoErrorAPI(int32_t Codigo);

} // namespace olvado
