#include "common/CoreComunes.h"

#include "common/StgC_FuncionesRegistro.h"
#include "common/cRegistry.h"

namespace olvado {

bool GuardarCredenciales(const std::string& UsuarioEncriptado, const std::string& ClaveEncriptada) {
    if (UsuarioEncriptado.empty() || ClaveEncriptada.empty())
        return false;
    // The family's programs read them from the shared key, whatever this build's names are.
    bool clave = RegistroBase_SetValor("", "RACon", ClaveEncriptada, 0, HKEY_LOCAL_MACHINE, "Olvado Systems",
                                       "Olvado", true);
    bool usuario = RegistroBase_SetValor("", "RAUse", UsuarioEncriptado, 0, HKEY_LOCAL_MACHINE, "Olvado Systems",
                                         "Olvado", true);
    return clave && usuario;
}

} // namespace olvado
