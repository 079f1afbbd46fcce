// The parts of XmlDocument shared by both systems.
#include "platform/XmlDocument.h"

namespace olvado::platform {

const std::vector<NodoXml>& XmlDocument::HijosDeNodoSuperior(size_t indice) const {
    static const std::vector<NodoXml> ninguno;
    return indice < superiores_.size() ? superiores_[indice] : ninguno;
}

} // namespace olvado::platform
