// An XML document read whole from a file, for the connection store. Windows:
// MSXML 6 through COM (synchronous load). Linux: pugixml. Both keep the
// document's top-level nodes as MSXML counts them: the declaration, comments
// and processing instructions are nodes; blank text between elements is not.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace olvado::platform {

struct NodoXml {
    bool Elemento = false;
    std::vector<std::pair<std::string, std::string>> Atributos; // UTF-8, in document order

    // The attribute's text, or nullptr when the node has none of that name.
    const std::string* Atributo(const std::string& nombre) const {
        for (const auto& [n, v] : Atributos)
            if (n == nombre)
                return &v;
        return nullptr;
    }
};

class XmlDocument {
public:
    // Loads and parses the file (UTF-8 path); false when it is missing,
    // unreadable or not well-formed.
    bool Load(const std::string& ruta);
    // The child nodes of the document's top-level node number indice (0 is
    // the first); empty when there is no such node.
    const std::vector<NodoXml>& HijosDeNodoSuperior(size_t indice) const;

private:
    std::vector<std::vector<NodoXml>> superiores_;
};

} // namespace olvado::platform
