#include "updater/PaqueteAnillo.h"

#include "base/Texto.h"
#include "common/clsStgComunes.h"

namespace olvado {

bool NombreAnilloValido(const std::string& Anillo) {
    if (Anillo.empty() || Anillo.size() > kLargoAnillo)
        return false;
    for (const char c : Anillo)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
            return false;
    return true;
}

std::string ProductoTrozosAnillo(const std::string& Producto, const std::string& Anillo) {
    return Producto + "@" + Anillo;
}

std::string AnilloEstacion(clsStgComunes& Comunes) {
    Variante leido = std::string();
    if (!Comunes.Registro_GetValor("", kValorAnillo, leido, 0, std::string(), HKEY_LOCAL_MACHINE, false) ||
        !std::holds_alternative<std::string>(leido))
        return {};
    const std::string anillo = Trim(VarATexto(leido));
    return NombreAnilloValido(anillo) ? anillo : std::string();
}

} // namespace olvado
