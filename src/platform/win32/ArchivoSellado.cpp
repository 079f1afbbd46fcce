// Win32 sealed package file: a read handle that shares reading only.
#include "platform/ArchivoSellado.h"

#include "base/Texto.h"

#include <windows.h>

namespace olvado::platform {
namespace {
HANDLE H(intptr_t n) { return reinterpret_cast<HANDLE>(n); }
} // namespace

bool ArchivoSellado::Abrir(const std::string& ruta) {
    Cerrar();
    auto ancha = AUtf16(ruta);
    std::wstring w(ancha.begin(), ancha.end());
    // No FILE_SHARE_WRITE or FILE_SHARE_DELETE: writing, renaming, deleting
    // and replacing all fail with a sharing violation while the handle lives.
    // Starting the file only needs read and execute, which FILE_SHARE_READ allows.
    HANDLE h = CreateFileW(w.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    nativo_ = reinterpret_cast<intptr_t>(h);
    ruta_ = ruta;
    return true;
}

int64_t ArchivoSellado::Leer(void* destino, size_t n) {
    if (!Abierto())
        return -1;
    DWORD leidos = 0;
    DWORD pedir = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    if (!ReadFile(H(nativo_), destino, pedir, &leidos, nullptr))
        return -1;
    return leidos;
}

std::string ArchivoSellado::RutaLectura() const { return Abierto() ? ruta_ : std::string(); }

bool ArchivoSellado::Rebobinar() {
    LARGE_INTEGER cero{};
    return Abierto() && SetFilePointerEx(H(nativo_), cero, nullptr, FILE_BEGIN);
}

int64_t ArchivoSellado::Tamano() const {
    LARGE_INTEGER t{};
    if (!Abierto() || !GetFileSizeEx(H(nativo_), &t))
        return -1;
    return t.QuadPart;
}

void ArchivoSellado::Cerrar() {
    if (Abierto())
        CloseHandle(H(nativo_));
    nativo_ = kInvalido;
    ruta_.clear();
}

} // namespace olvado::platform
