// The package launch of the start-up sequence and its two helpers: the
// account text split into domain and user, and the system's text of an error
// code. Also used by the common utilities' EjecutarComoAdmin.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace olvado {
namespace platform {
class ArchivoSellado;
}

// One line for the caller's log.
using RegistrarLinea = std::function<void(const std::string& Texto)>;

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
