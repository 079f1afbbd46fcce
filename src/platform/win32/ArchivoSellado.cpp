// Win32 only: the package held by a read handle that shares reading only,
// opened (Abrir) or created, written and handed over to it (Crear, Escribir,
// Sellar).
#include "platform/ArchivoSellado.h"

#include "base/Texto.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>

#include <algorithm>
#include <vector>
#include <sddl.h>

namespace olvado::platform {
namespace {

using Archivo = ScopedHandle<ArchivoTraits>;

HANDLE H(intptr_t n) { return reinterpret_cast<HANDLE>(n); }

std::wstring Ancha(const std::string& ruta) {
    auto ancha = AUtf16(ruta);
    return std::wstring(ancha.begin(), ancha.end());
}

// Owned by this account, which with SYSTEM may do anything with it; the
// Administrators may read and run it; nobody else may open it, and nothing
// is inherited from a folder that might let them. LocalFree frees it.
PSECURITY_DESCRIPTOR DescriptorPaquete() {
    Handle ficha;
    HANDLE t = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &t))
        ficha.Reset(t);
    alignas(TOKEN_USER) BYTE buf[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD n = 0;
    LPWSTR sid = nullptr;
    if (!ficha || !GetTokenInformation(ficha.Get(), TokenUser, buf, sizeof buf, &n) ||
        !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buf)->User.Sid, &sid))
        return nullptr;
    const std::wstring sddl =
        L"O:" + std::wstring(sid) + L"D:P(A;;FA;;;" + std::wstring(sid) + L")(A;;FA;;;SY)(A;;FRFX;;;BA)";
    LocalFree(sid);
    PSECURITY_DESCRIPTOR sd = nullptr;
    return ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr) ? sd
                                                                                                            : nullptr;
}

// Marks the file (a handle with DELETE access) to go when its last handle
// closes, or clears the mark.
bool MarcarBorrado(HANDLE h, bool borrar) {
    FILE_DISPOSITION_INFO info{static_cast<BOOLEAN>(borrar)};
    return SetFileInformationByHandle(h, FileDispositionInfo, &info, sizeof info) != FALSE;
}

// The same file again through another handle (never its name, which could
// name something else by now).
Archivo Reabrir(HANDLE h, DWORD acceso, DWORD compartir) { return Archivo(ReOpenFile(h, acceso, compartir, 0)); }

// Through a handle without DELETE access: a second one that has it.
void Eliminar(HANDLE h) {
    Archivo borrar = Reabrir(h, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (borrar)
        MarcarBorrado(borrar.Get(), true);
}

} // namespace

bool ArchivoSellado::Abrir(const std::string& ruta) {
    Cerrar();
    const std::wstring w = Ancha(ruta);
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

namespace {

// A plain file with one name (no directory, link, device or second hard
// link); its identity into volumen and indice.
bool ArchivoSimple(HANDLE h, uint64_t& volumen, uint64_t& indice) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) || info.nNumberOfLinks != 1 ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)))
        return false;
    volumen = info.dwVolumeSerialNumber;
    indice = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    return true;
}

// The file of h renamed to destino (whatever stood there replaced, a link
// included, never followed) through its handle, never by a name.
bool Renombrar(HANDLE h, const std::wstring& destino) {
    std::vector<char> buf(sizeof(FILE_RENAME_INFO) + (destino.size() + 1) * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buf.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(destino.size() * sizeof(wchar_t));
    std::copy(destino.begin(), destino.end(), info->FileName);
    return SetFileInformationByHandle(h, FileRenameInfo, info, static_cast<DWORD>(buf.size())) != FALSE;
}

} // namespace

bool ArchivoSellado::AbrirPrevio(const std::string& ruta) {
    Cerrar();
    Archivo archivo(CreateFileW(Ancha(ruta).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!archivo || !ArchivoSimple(archivo.Get(), volumen_, indice_))
        return false;
    nativo_ = reinterpret_cast<intptr_t>(archivo.Release());
    ruta_ = ruta;
    previo_ = true;
    return true;
}

// The read handle shares no deletion, not even with this process: it gives
// way to one with delete access, which must find the very file it let go.
bool ArchivoSellado::SoltarRuta() {
    if (!previo_ || !Abierto())
        return false;
    const std::string ruta = ruta_;
    const uint64_t volumen = volumen_, indice = indice_;
    Cerrar();
    Archivo archivo(CreateFileW(Ancha(ruta).c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    uint64_t v = 0, i = 0;
    if (!archivo || !ArchivoSimple(archivo.Get(), v, i) || v != volumen || i != indice)
        return false;
    // Aside first (a name of this process's own), then marked: a file marked
    // for deletion keeps its name until its last handle goes.
    const std::wstring aparte = Ancha(ruta) + L".anterior." + std::to_wstring(GetCurrentProcessId());
    if (!Renombrar(archivo.Get(), aparte) || !MarcarBorrado(archivo.Get(), true))
        return false;
    nativo_ = reinterpret_cast<intptr_t>(archivo.Release());
    ruta_ = ruta;
    previo_ = true;
    return true;
}

std::span<char> ArchivoSellado::Reservar(uint64_t n) {
    LARGE_INTEGER t{};
    t.QuadPart = static_cast<LONGLONG>(n);
    if (!creando_ || vista_ || n == 0 || n > SIZE_MAX / 2 || Tamano() != 0 ||
        !SetFilePointerEx(H(nativo_), t, nullptr, FILE_BEGIN) || !SetEndOfFile(H(nativo_)))
        return {};
    return MapearVista(n, true);
}

std::span<char> ArchivoSellado::MapearVista(uint64_t n, bool escritura) {
    HANDLE seccion = CreateFileMappingW(H(nativo_), nullptr, escritura ? PAGE_READWRITE : PAGE_READONLY,
                                        static_cast<DWORD>(n >> 32), static_cast<DWORD>(n), nullptr);
    void* v = seccion ? MapViewOfFile(seccion, escritura ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (!v) {
        if (seccion)
            CloseHandle(seccion);
        return {};
    }
    seccion_ = reinterpret_cast<intptr_t>(seccion);
    vista_ = static_cast<char*>(v);
    tamanoVista_ = static_cast<size_t>(n);
    return {vista_, tamanoVista_};
}

// The working set is the system's to trim here.
void ArchivoSellado::SoltarPaginas(uint64_t) {}

void ArchivoSellado::Desmapear() {
    if (vista_)
        UnmapViewOfFile(vista_);
    if (seccion_ != kInvalido)
        CloseHandle(H(seccion_));
    vista_ = nullptr;
    tamanoVista_ = 0;
    seccion_ = kInvalido;
}

bool ArchivoSellado::Crear(const std::string& ruta) {
    Cerrar();
    SECURITY_ATTRIBUTES atributos{sizeof(SECURITY_ATTRIBUTES), DescriptorPaquete(), FALSE};
    if (!atributos.lpSecurityDescriptor)
        return false;
    // CREATE_NEW: whatever stands at the name (a link included, which
    // FILE_FLAG_OPEN_REPARSE_POINT never follows) is a failure. Others may
    // not write or delete it, as while Abrir holds it.
    const std::wstring w = Ancha(ruta);
    Archivo archivo(CreateFileW(w.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ, &atributos,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    LocalFree(atributos.lpSecurityDescriptor);
    if (!archivo)
        return false;
    // Until Sellar the file goes with its handle, also when this process is
    // killed: a package is whole or absent.
    if (!MarcarBorrado(archivo.Get(), true)) {
        archivo.Reset();
        DeleteFileW(w.c_str());
        return false;
    }
    nativo_ = reinterpret_cast<intptr_t>(archivo.Release());
    ruta_ = ruta;
    creando_ = true;
    return true;
}

bool ArchivoSellado::Escribir(const void* datos, size_t n) {
    if (!creando_ || vista_)
        return false;
    for (auto* p = static_cast<const char*>(datos); n > 0;) {
        DWORD escrito = 0;
        if (!WriteFile(H(nativo_), p, n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n), &escrito, nullptr) ||
            escrito == 0)
            return false;
        p += escrito;
        n -= escrito;
    }
    return true;
}

// The write handle is exchanged for the read handle Abrir would hold, with
// some handle held at every moment: the writer's sharing refuses a reader
// that does not share writing, so an intermediate reader that does comes
// between (it shares deletion too: the writer has DELETE access). While only
// it is held, the DACL keeps everybody but this account and SYSTEM out.
bool ArchivoSellado::Sellar() {
    if (!creando_)
        return false;
    // The view's writes reach the file before its handles change.
    if (vista_ && !FlushViewOfFile(vista_, 0)) {
        Cerrar();
        return false;
    }
    Desmapear();
    Archivo escritura(H(nativo_));
    const std::string ruta = ruta_;
    nativo_ = kInvalido;
    Cerrar();
    // Each failure below closes what it holds with the deletion mark set.
    if (!FlushFileBuffers(escritura.Get()) || !MarcarBorrado(escritura.Get(), false))
        return false;
    Archivo intermedio = Reabrir(escritura.Get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!intermedio) {
        MarcarBorrado(escritura.Get(), true);
        return false;
    }
    escritura.Reset();
    Archivo lector = Reabrir(intermedio.Get(), GENERIC_READ, FILE_SHARE_READ);
    if (!lector) {
        Eliminar(intermedio.Get());
        return false;
    }
    nativo_ = reinterpret_cast<intptr_t>(lector.Release());
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
    // Before Sellar the deletion mark removes the file as its handle closes.
    Desmapear();
    if (Abierto())
        ArchivoTraits::Close(H(nativo_));
    nativo_ = kInvalido;
    ruta_.clear();
    creando_ = false;
    previo_ = false;
}

} // namespace olvado::platform
