// Win32 registry: only the advapi32 Reg*A calls, with the caller's masks.
#include "platform/Registro.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>

#include <vector>

namespace olvado::platform {
namespace {

// The predefined roots are 32-bit numbers that HKEY sign-extends on 64-bit Windows.
HKEY H(HClave c) {
    if (c >= 0x80000000u && c <= 0x800000FFu)
        return reinterpret_cast<HKEY>(static_cast<intptr_t>(static_cast<int32_t>(static_cast<uint32_t>(c))));
    return reinterpret_cast<HKEY>(c);
}

// A 64-bit build stands in for the 32-bit program: the caller's view if it
// names one, else the 32-bit view.
REGSAM Vista(uint32_t mascara) {
#ifdef _WIN64
    if (!(mascara & (KEY_WOW64_64KEY | KEY_WOW64_32KEY)))
        mascara |= KEY_WOW64_32KEY;
#endif
    return mascara;
}

class RegistroWin32 final : public IRegistro {
public:
    int32_t AbrirClave(HClave raiz, const std::string& subclave, uint32_t mascara, HClave& clave) override {
        HKEY h = nullptr;
        LONG r = RegOpenKeyExA(H(raiz), AAnsi(subclave).c_str(), 0, Vista(mascara), &h);
        clave = r == ERROR_SUCCESS ? reinterpret_cast<HClave>(h) : 0;
        return r;
    }

    int32_t CrearClave(HClave raiz, const std::string& subclave, uint32_t mascara, HClave& clave) override {
        HKEY h = nullptr;
        DWORD disposicion = 0;
        LONG r = RegCreateKeyExA(H(raiz), AAnsi(subclave).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, Vista(mascara),
                                 nullptr, &h, &disposicion);
        clave = r == ERROR_SUCCESS ? reinterpret_cast<HClave>(h) : 0;
        return r;
    }

    int32_t CerrarClave(HClave clave) override { return RegCloseKey(H(clave)); }

    int32_t BorrarClave(HClave raiz, const std::string& subclave) override {
#ifdef _WIN64
        return RegDeleteKeyExA(H(raiz), AAnsi(subclave).c_str(), Vista(0), 0);
#else
        return RegDeleteKeyA(H(raiz), AAnsi(subclave).c_str());
#endif
    }

    int32_t ConsultarValor(HClave clave, const std::string& nombre, uint32_t& tipo, uint32_t& tamano,
                           std::string* datos) override {
        DWORD t = 0, n = datos ? static_cast<DWORD>(datos->size()) : 0;
        LONG r = RegQueryValueExA(H(clave), AAnsi(nombre).c_str(), nullptr, &t,
                                  datos ? reinterpret_cast<BYTE*>(datos->data()) : nullptr, &n);
        tipo = t;
        tamano = n;
        if (datos && r == ERROR_SUCCESS)
            datos->resize(n);
        return r;
    }

    int32_t EstablecerValor(HClave clave, const std::string& nombre, uint32_t tipo,
                            const std::string& datos) override {
        return RegSetValueExA(H(clave), AAnsi(nombre).c_str(), 0, tipo,
                              reinterpret_cast<const BYTE*>(datos.data()), static_cast<DWORD>(datos.size()));
    }

    int32_t BorrarValor(HClave clave, const std::string& nombre) override {
        return RegDeleteValueA(H(clave), AAnsi(nombre).c_str());
    }

    int32_t EnumerarClave(HClave clave, uint32_t indice, std::string& nombre) override {
        char buf[256] = {};
        LONG r = RegEnumKeyA(H(clave), indice, buf, 255);
        nombre = r == ERROR_SUCCESS ? DesdeAnsi(buf) : std::string();
        return r;
    }

    int32_t EnumerarValor(HClave clave, uint32_t indice, std::string& nombre) override {
        DWORD largoMaximo = 0;
        LONG r = RegQueryInfoKeyA(H(clave), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  &largoMaximo, nullptr, nullptr, nullptr);
        if (r != ERROR_SUCCESS)
            return r;
        std::vector<char> buf(largoMaximo + 1, '\0');
        DWORD largo = largoMaximo + 1;
        r = RegEnumValueA(H(clave), indice, buf.data(), &largo, nullptr, nullptr, nullptr, nullptr);
        nombre = r == ERROR_SUCCESS ? DesdeAnsi(std::string(buf.data(), largo)) : std::string();
        return r;
    }
};

} // namespace

IRegistro& IRegistro::DelSistema() {
    static RegistroWin32 r;
    return r;
}

std::string ExpandirVariablesEntorno(const std::string& texto) {
    std::string ansi = AAnsi(texto);
    DWORD n = ExpandEnvironmentStringsA(ansi.c_str(), nullptr, 0);
    if (n == 0)
        return texto;
    std::string buf(n, '\0');
    n = ExpandEnvironmentStringsA(ansi.c_str(), buf.data(), n);
    if (n == 0)
        return texto;
    buf.resize(n - 1); // the count includes the closing zero
    return DesdeAnsi(buf);
}

} // namespace olvado::platform
