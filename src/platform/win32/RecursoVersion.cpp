// Win32 implementation of version resources: version.dll, ANSI entry points.
#include "platform/RecursoVersion.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {

bool RecursoVersion::Cargar(const std::string& archivo) {
    datos_.clear();
    const std::string ruta = AAnsi(archivo);
    DWORD ignorado = 0;
    const DWORD n = GetFileVersionInfoSizeA(ruta.c_str(), &ignorado);
    if (n < 1)
        return false;
    std::string buffer(n, '\0');
    if (!GetFileVersionInfoA(ruta.c_str(), 0, n, buffer.data()))
        return false;
    datos_ = std::move(buffer);
    return true;
}

bool RecursoVersion::Consultar(const std::string& subBloque, std::string& valor) const {
    if (datos_.empty())
        return false;
    void* p = nullptr;
    UINT largo = 0;
    // VerQueryValueA takes a non-const block: it writes the ANSI copies of
    // text values into the second half of the buffer that it sized itself.
    auto* bloque = const_cast<char*>(datos_.data());
    if (!VerQueryValueA(bloque, AAnsi(subBloque).c_str(), &p, &largo) || p == nullptr)
        return false;
    valor.assign(static_cast<const char*>(p), largo);
    return true;
}

} // namespace olvado::platform
