// Win32: the document through MSXML 6 (COM), loaded synchronously.
#include "platform/XmlDocument.h"

#include "base/Texto.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>
#include <msxml2.h>
#include <ole2.h>

namespace olvado::platform {

namespace {

// DOMDocument60 and IXMLDOMDocument, spelled out: the toolchain's headers
// predate MSXML 6.
const CLSID kDomDocument60 = {0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
const IID kIXMLDOMDocument = {0x2933bf81, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

using Bstr = ScopedHandle<BstrTraits>;

std::string Texto(BSTR b) {
    return b ? DesdeUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(b), SysStringLen(b))) : "";
}

void LeerNodo(IXMLDOMNode* n, NodoXml& nodo) {
    DOMNodeType tipo = NODE_INVALID;
    n->get_nodeType(&tipo);
    nodo.Elemento = tipo == NODE_ELEMENT;
    Com<IXMLDOMNamedNodeMap> atributos;
    if (!nodo.Elemento || n->get_attributes(atributos.Dir()) != S_OK || !atributos.Get())
        return;
    long total = 0;
    atributos->get_length(&total);
    for (long i = 0; i < total; ++i) {
        Com<IXMLDOMNode> a;
        if (atributos->get_item(i, a.Dir()) != S_OK)
            continue;
        BSTR nombre = nullptr, valor = nullptr;
        a->get_nodeName(&nombre);
        a->get_text(&valor);
        Bstr n1(nombre), v1(valor);
        nodo.Atributos.emplace_back(Texto(nombre), Texto(valor));
    }
}

} // namespace

bool XmlDocument::Load(const std::string& ruta) {
    superiores_.clear();
    HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = false;
    {
        Com<IXMLDOMDocument> doc;
        if (SUCCEEDED(CoCreateInstance(kDomDocument60, nullptr, CLSCTX_INPROC_SERVER, kIXMLDOMDocument,
                                       reinterpret_cast<void**>(doc.Dir())))) {
            doc->put_async(VARIANT_FALSE);
            std::u16string r = AUtf16(ruta);
            Bstr b(SysAllocString(reinterpret_cast<const OLECHAR*>(r.c_str())));
            VARIANT v;
            VariantInit(&v);
            v.vt = VT_BSTR;
            v.bstrVal = b.Get();
            VARIANT_BOOL cargado = VARIANT_FALSE;
            ok = doc->load(v, &cargado) == S_OK && cargado == VARIANT_TRUE;
            Com<IXMLDOMNodeList> superiores;
            long total = 0;
            if (ok && doc->get_childNodes(superiores.Dir()) == S_OK)
                superiores->get_length(&total);
            for (long i = 0; i < total; ++i) {
                Com<IXMLDOMNode> s;
                Com<IXMLDOMNodeList> hijos;
                std::vector<NodoXml> lista;
                long n = 0;
                if (superiores->get_item(i, s.Dir()) == S_OK && s->get_childNodes(hijos.Dir()) == S_OK)
                    hijos->get_length(&n);
                for (long j = 0; j < n; ++j) {
                    Com<IXMLDOMNode> h;
                    NodoXml nodo;
                    if (hijos->get_item(j, h.Dir()) == S_OK)
                        LeerNodo(h.Get(), nodo);
                    lista.push_back(std::move(nodo));
                }
                superiores_.push_back(std::move(lista));
            }
        }
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return ok;
}

} // namespace olvado::platform
