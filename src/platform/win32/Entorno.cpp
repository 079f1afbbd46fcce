// Win32 environment variables, through the wide entry points so that UTF-8
// texts survive whatever the ANSI code page is.
#include "platform/Entorno.h"

#include "base/Texto.h"

#include <windows.h>

namespace olvado::platform {
namespace {
std::wstring Ancho(const std::string& s) {
    auto u = AUtf16(s);
    return std::wstring(u.begin(), u.end());
}
} // namespace

std::string LeerVariableEntorno(const std::string& nombre) {
    auto n = Ancho(nombre);
    DWORD largo = GetEnvironmentVariableW(n.c_str(), nullptr, 0);
    if (largo == 0)
        return {};
    std::wstring buf(largo, L'\0');
    largo = GetEnvironmentVariableW(n.c_str(), buf.data(), largo);
    buf.resize(largo);
    return DesdeUtf16(std::u16string(buf.begin(), buf.end()));
}

bool ExisteVariableEntorno(const std::string& nombre) {
    return GetEnvironmentVariableW(Ancho(nombre).c_str(), nullptr, 0) != 0 ||
           GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

void EstablecerVariableEntorno(const std::string& nombre, const std::string& valor) {
    auto n = Ancho(nombre);
    if (valor.empty()) {
        SetEnvironmentVariableW(n.c_str(), nullptr);
        _wputenv_s(n.c_str(), L"");
    } else {
        auto v = Ancho(valor);
        SetEnvironmentVariableW(n.c_str(), v.c_str());
        _wputenv_s(n.c_str(), v.c_str()); // keep the C run-time's copy in step
    }
}

} // namespace olvado::platform
