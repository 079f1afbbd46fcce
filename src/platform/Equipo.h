// Who and where a run is: the workstation's name and the account the program
// runs under, as the fleet's history records them.
// Windows: GetComputerNameA and GetUserNameA.
// Linux: the first line of $OLVADO_ROOT/etc/hostname when the tree is
// relocated and holds one (a relocated tree is a machine of its own), else the
// kernel's host name; the effective user's account name.
// Both answer "" when the system gives no name.
#pragma once

#include <string>

namespace olvado::platform {

std::string NombreEquipo();
std::string NombreUsuario();

} // namespace olvado::platform
