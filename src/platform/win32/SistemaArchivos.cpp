// Win32 only: FindFirstFileA, OpenFile's exclusive test, SHFileOperationA.
#include "platform/SistemaArchivos.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

namespace olvado::platform {
namespace {

// A list of one name for SHFileOperation: ends with two NULs.
std::string ListaDeUno(const std::string& ruta) { return AAnsi(ruta) + std::string(2, '\0'); }

} // namespace

bool BuscarPrimero(const std::string& patron, EntradaBuscada* encontrada) {
    WIN32_FIND_DATAA datos{};
    ScopedHandle<BusquedaTraits> h(FindFirstFileA(AAnsi(patron).c_str(), &datos));
    if (!h)
        return false;
    if (encontrada) {
        encontrada->Nombre = DesdeAnsi(datos.cFileName);
        encontrada->EsCarpeta = (datos.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    return true;
}

int64_t TamanoArchivo(const std::string& ruta) {
    WIN32_FILE_ATTRIBUTE_DATA datos{};
    if (!GetFileAttributesExA(AAnsi(ruta).c_str(), GetFileExInfoStandard, &datos))
        return -1;
    return (static_cast<int64_t>(datos.nFileSizeHigh) << 32) | datos.nFileSizeLow;
}

bool BorrarArchivo(const std::string& ruta) { return DeleteFileA(AAnsi(ruta).c_str()) != FALSE; }
bool CrearCarpeta(const std::string& ruta) { return CreateDirectoryA(AAnsi(ruta).c_str(), nullptr) != FALSE; }
bool BorrarCarpeta(const std::string& ruta) { return RemoveDirectoryA(AAnsi(ruta).c_str()) != FALSE; }

bool ArchivoAbiertoPorOtro(const std::string& ruta) {
    OFSTRUCT ofs{};
    HFILE h = OpenFile(AAnsi(ruta).c_str(), &ofs, OF_SHARE_EXCLUSIVE);
    if (h == HFILE_ERROR)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    Handle cerrar(reinterpret_cast<HANDLE>(static_cast<intptr_t>(h)));
    return false;
}

int32_t MoverConShell(const std::string& origen, const std::string& destino, bool& abortado) {
    std::string de = ListaDeUno(origen), a = ListaDeUno(destino);
    SHFILEOPSTRUCTA op{};
    op.hwnd = nullptr;
    op.wFunc = FO_MOVE;
    op.pFrom = de.c_str();
    op.pTo = a.c_str();
    op.fFlags = FOF_SILENT;
    int r = SHFileOperationA(&op);
    abortado = op.fAnyOperationsAborted != FALSE;
    return r;
}

bool ReemplazarArchivo(const std::string& ruta, std::string_view contenido, int32_t& error) {
    // Every missing folder on the way, with the permissions its parent gives.
    for (size_t p = ruta.find_first_of("\\/", 3); p != std::string::npos; p = ruta.find_first_of("\\/", p + 1))
        CreateDirectoryA(AAnsi(ruta.substr(0, p)).c_str(), nullptr);
    const std::string temporal = AAnsi(ruta + ".nuevo");
    const DWORD atributos = GetFileAttributesA(AAnsi(ruta).c_str());
    if (atributos != INVALID_FILE_ATTRIBUTES &&
        (atributos & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    DeleteFileA(temporal.c_str()); // one a dead run left
    ScopedHandle<ArchivoTraits> h(CreateFileA(temporal.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!h) {
        error = static_cast<int32_t>(GetLastError());
        return false;
    }
    for (size_t hecho = 0; hecho < contenido.size();) {
        DWORD n = 0;
        const DWORD pedido = static_cast<DWORD>(std::min<size_t>(contenido.size() - hecho, 1u << 20));
        if (!WriteFile(h.Get(), contenido.data() + hecho, pedido, &n, nullptr) || n == 0) {
            error = static_cast<int32_t>(GetLastError());
            h.Reset();
            DeleteFileA(temporal.c_str());
            return false;
        }
        hecho += n;
    }
    const bool escrito = FlushFileBuffers(h.Get()) != FALSE;
    h.Reset();
    if (!escrito || !MoveFileExA(temporal.c_str(), AAnsi(ruta).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = static_cast<int32_t>(GetLastError());
        DeleteFileA(temporal.c_str());
        return false;
    }
    return true;
}

bool HayManejadorLibre() {
    HANDLE copia = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &copia, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return false;
    Handle cerrar(copia);
    return true;
}

} // namespace olvado::platform
