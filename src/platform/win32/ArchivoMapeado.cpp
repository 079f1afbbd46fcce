// Win32 only: a read-only view of a file opened without write sharing.
#include "platform/ArchivoMapeado.h"

#include "platform/ErroresSistema.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>

namespace olvado::platform {

ArchivoMapeado::~ArchivoMapeado() {
    Cerrar();
}

bool ArchivoMapeado::Abrir(const std::string& ruta) {
    Cerrar();
    ScopedHandle<ArchivoTraits> h(CreateFileA(AAnsi(ruta).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) {
        error_ = static_cast<int32_t>(GetLastError());
        return false;
    }
    LARGE_INTEGER tamano{};
    if (GetFileType(h.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(h.Get(), &tamano) || tamano.QuadPart < 0 ||
        static_cast<uint64_t>(tamano.QuadPart) > SIZE_MAX) {
        error_ = ERROR_ACCESS_DENIED;
        return false;
    }
    if (tamano.QuadPart > 0) {
        // The mapping object may close at once: the view keeps it alive.
        const Handle m(CreateFileMappingA(h.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        const void* p = m ? MapViewOfFile(m.Get(), FILE_MAP_READ, 0, 0, 0) : nullptr;
        if (!p) {
            error_ = static_cast<int32_t>(GetLastError());
            return false;
        }
        datos_ = static_cast<const char*>(p);
    }
    tamano_ = static_cast<size_t>(tamano.QuadPart);
    archivo_ = reinterpret_cast<intptr_t>(h.Release());
    abierto_ = true;
    error_ = 0;
    return true;
}

void ArchivoMapeado::Cerrar() {
    if (datos_)
        UnmapViewOfFile(datos_);
    if (abierto_)
        ScopedHandle<ArchivoTraits>(reinterpret_cast<HANDLE>(archivo_)).Reset();
    datos_ = nullptr;
    tamano_ = 0;
    archivo_ = -1;
    abierto_ = false;
}

} // namespace olvado::platform
