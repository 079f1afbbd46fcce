// Environment variables (UTF-8 names and values). Both systems: an unset
// variable reads as ""; Establecer with an empty value removes it.
#pragma once

#include <string>

namespace olvado::platform {

std::string LeerVariableEntorno(const std::string& nombre);
bool ExisteVariableEntorno(const std::string& nombre);
void EstablecerVariableEntorno(const std::string& nombre, const std::string& valor);

} // namespace olvado::platform
