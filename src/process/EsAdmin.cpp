#include "process/EsAdmin.h"

#include "platform/FichaAcceso.h"

#include <algorithm>
#include <string>
#include <vector>

namespace olvado {

bool EsUsuarioAdministrador() {
    auto& ficha = platform::IFichaAcceso::Actual();
    std::vector<std::string> grupos, administradores;
    if (!ficha.GruposDelToken(grupos))
        return false;
    // Without the Administrators name no group is examined.
    if (!ficha.NombresAdministradores(administradores))
        return false;
    for (const auto& g : grupos) {
        if (!g.empty() && std::find(administradores.begin(), administradores.end(), g) != administradores.end())
            return true;
    }
    return false;
}

} // namespace olvado
