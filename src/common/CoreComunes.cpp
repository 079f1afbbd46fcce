#include "common/CoreComunes.h"

#include "common/StgC_FuncionesRegistro.h"
#include "common/cRegistry.h"

namespace olvado {

bool GuardarCredenciales(const std::string& UsuarioEncriptado, const std::string& ClaveEncriptada) {
    if (UsuarioEncriptado.empty() || ClaveEncriptada.empty())
        return false;
    // The family's programs read them from the family's own key, whatever
    // names this build was given (OLVADO_COMPANY, OLVADO_PRODUCT).
    constexpr const char* kCompaniaFamilia = "Olvado Systems";
    constexpr const char* kProductoFamilia = "Olvado";
    bool clave = RegistroBase_SetValor("", "RACon", ClaveEncriptada, 0, HKEY_LOCAL_MACHINE, kCompaniaFamilia,
                                       kProductoFamilia, true);
    bool usuario = RegistroBase_SetValor("", "RAUse", UsuarioEncriptado, 0, HKEY_LOCAL_MACHINE, kCompaniaFamilia,
                                         kProductoFamilia, true);
    return clave && usuario;
}

} // namespace olvado
