// Win32 only: FindFirstFileA, OpenFile's exclusive test, SHFileOperationA.
#include "platform/SistemaArchivos.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>
#include <shellapi.h>

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

bool HayManejadorLibre() {
    HANDLE copia = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &copia, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return false;
    Handle cerrar(copia);
    return true;
}

} // namespace olvado::platform
