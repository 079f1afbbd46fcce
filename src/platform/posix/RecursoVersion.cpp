// POSIX implementation of version resources: our own PE reader.
#include "platform/RecursoVersion.h"

#include "platform/LectorVersionPE.h"
#include "platform/TextoAnsi.h"

#include <algorithm>

namespace olvado::platform {

bool RecursoVersion::Cargar(const std::string& archivo) {
    // The system's own paths are written with "\" ("Olvado\Olvado.exe").
    std::string ruta = archivo;
    std::replace(ruta.begin(), ruta.end(), '\\', '/');
    datos_.clear();
    return LeerRecursoVersionPE(ruta, datos_);
}

bool RecursoVersion::Consultar(const std::string& subBloque, std::string& valor) const {
    bool esTexto = false;
    if (datos_.empty() || !ConsultarValorVersion(datos_, subBloque, valor, esTexto))
        return false;
    if (esTexto) {
        std::u16string texto;
        for (std::size_t i = 0; i + 1 < valor.size(); i += 2)
            texto.push_back(static_cast<char16_t>(static_cast<unsigned char>(valor[i]) |
                                                  (static_cast<unsigned char>(valor[i + 1]) << 8)));
        valor = CodificarAnsi(texto);
    }
    return true;
}

} // namespace olvado::platform
