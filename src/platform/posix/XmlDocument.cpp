// POSIX: the document through pugixml.
#include "platform/XmlDocument.h"
#include "platform/posix/PosixComun.h"

#include <pugixml.hpp>

namespace olvado::platform {

bool XmlDocument::Load(const std::string& ruta) {
    superiores_.clear();
    pugi::xml_document doc;
    // The declaration, comments, PIs and the doctype count as nodes, as in MSXML.
    unsigned opciones = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments | pugi::parse_pi |
                        pugi::parse_doctype;
    // Read by our own open: a FIFO named like the store would block fopen.
    std::string bytes;
    if (!posix::LeerArchivoRegular(ruta, bytes) ||
        !doc.load_buffer(bytes.data(), bytes.size(), opciones, pugi::encoding_auto))
        return false;
    for (pugi::xml_node superior : doc.children()) {
        std::vector<NodoXml> hijos;
        for (pugi::xml_node n : superior.children()) {
            NodoXml nodo;
            nodo.Elemento = n.type() == pugi::node_element;
            for (pugi::xml_attribute a : n.attributes())
                nodo.Atributos.emplace_back(a.name(), a.value());
            hijos.push_back(std::move(nodo));
        }
        superiores_.push_back(std::move(hijos));
    }
    return true;
}

} // namespace olvado::platform
