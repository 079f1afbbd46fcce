// Files and folders by name: search, size, deletion, folders, the
// exclusive-open test, the shell's move and the free-handle test.
//
// Exclusive use. Windows: a file is "open elsewhere" when OpenFile with
// OF_SHARE_EXCLUSIVE fails with a sharing violation (32). Linux has no share
// modes, so the program keeps an advisory-lock convention: every writer of
// ours (ArchivoNativo in a writing mode, File.h) holds an exclusive flock on
// the file while it is open, and refuses a file whose lock another holds (with
// error 32). A file is "open elsewhere" when such a lock is held; plain
// readers and programs that take no flock are not seen. BorrarArchivo refuses
// such a file too, as Windows refuses to delete a file open without sharing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace olvado::platform {

struct EntradaBuscada {
    std::string Nombre; // the name found (without its folder)
    bool EsCarpeta = false;
};

// FindFirstFileA + FindClose: true when anything (file or folder) matches.
// The last component may hold "*" and "?". A name ending in a separator finds
// nothing, as on Windows (so a drive root or "/" is not found).
bool BuscarPrimero(const std::string& patron, EntradaBuscada* encontrada = nullptr);
// Size in bytes, -1 when it cannot be read.
int64_t TamanoArchivo(const std::string& ruta);
bool BorrarArchivo(const std::string& ruta);
bool CrearCarpeta(const std::string& ruta);
bool BorrarCarpeta(const std::string& ruta);
// True when the file is held open by someone else (see above); a missing file
// or any other failure answers false.
bool ArchivoAbiertoPorOtro(const std::string& ruta);
// SHFileOperationA(FO_MOVE, FOF_SILENT) of one item, no owner window: answers
// the call's result (0 on success) and whether the operation was aborted.
// Linux: rename, or copy and delete across file systems; an existing target
// file is replaced (the default answer of the shell's question); a target that
// is a folder receives the item.
int32_t MoverConShell(const std::string& origen, const std::string& destino, bool& abortado);
// Writes contenido as the whole of ruta through a new file beside it and a
// rename, so a reader sees the old file or the new one; neither name is
// followed through a link, and what stands at ruta must be a plain file.
// Linux: the file keeps the replaced one's owner and mode, less any write
// right of group or others, whatever the umask; a new one is 0644 and its
// missing folders 0755. Windows: the folder's inherited permissions. error
// receives the Windows error number of a failure.
bool ReemplazarArchivo(const std::string& ruta, std::string_view contenido, int32_t& error);
// True when the process can open one more file.
bool HayManejadorLibre();

} // namespace olvado::platform
