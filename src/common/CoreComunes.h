// Stored credentials for the family's other programs.
#pragma once

#include <string>

namespace olvado {

// Writes the still enciphered password ("RACon") and user ("RAUse") under
// HKEY_LOCAL_MACHINE\SOFTWARE\Olvado Systems\Base\. Nothing when either is
// empty (False); both writes are always attempted; True when both succeeded.
bool GuardarCredenciales(const std::string& UsuarioEncriptado, const std::string& ClaveEncriptada);

} // namespace olvado
