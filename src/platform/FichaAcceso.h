// The current process's access token, as far as the administrator test reads
// it: the names of the groups it holds and the name of the built-in
// Administrators alias. Windows: OpenProcessToken / GetTokenInformation
// (TokenGroups) and LookupAccountSidA of each group and of S-1-5-32-544.
// Linux: the effective group and the supplementary groups (an effective uid 0
// holds group 0 as well, as the Administrators alias is part of every
// elevated token); the administrator names are group 0's name, "sudo",
// "wheel" and "admin". Tests put a fake in place (base/Servicio.h).
#pragma once

#include "base/Servicio.h"

#include <string>
#include <vector>

namespace olvado::platform {

class IFichaAcceso : public Servicio<IFichaAcceso> {
public:
    static IFichaAcceso& DelSistema();
    virtual ~IFichaAcceso() = default;
    // The names of the token's groups in the token's order, every group
    // counted whatever its attributes (deny-only and disabled included); a
    // group whose name cannot be looked up is "". False when the token or its
    // group list cannot be read.
    virtual bool GruposDelToken(std::vector<std::string>& grupos) = 0;
    // The account names that make an administrator (Windows: the one name of
    // S-1-5-32-544). False when they cannot be looked up.
    virtual bool NombresAdministradores(std::vector<std::string>& nombres) = 0;
};

} // namespace olvado::platform
