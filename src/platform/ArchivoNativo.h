// One open file, owned (closed on every path). Binary reads and writes at the
// current position. Windows: CreateFileA through the ANSI code page; writers
// share reading only. Linux: open(2); the writing modes take the exclusive
// flock of the convention in FileSystem.h before touching the file (no
// truncation happens before the lock is held); only plain files are opened
// (a FIFO or device is refused at once, without blocking), and the writing
// modes never go through a link. Failures keep the Windows error
// number in UltimoError (Linux translates errno in one place).
#pragma once

#include "base/ScopedHandle.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace olvado::platform {

// A HANDLE (INVALID_HANDLE_VALUE is -1) or a descriptor; closed in File.cpp.
struct ManejadorArchivoTraits {
    using handle_type = intptr_t;
    static intptr_t Invalid() { return -1; }
    static void Close(intptr_t h) { CerrarManejador(h); }
    static bool CerrarManejador(intptr_t h);
};

class ArchivoNativo {
public:
    enum class Modo {
        Leer,              // existing file, reading
        LeerPrivado,       // as Leer, but refused (access denied) when anyone besides its
                           // owner may read it (Linux: a group or other bit; Windows: an
                           // allowing entry for anyone but the owner, SYSTEM, Administrators)
        Crear,             // create or empty, writing
        LeerEscribir,      // existing file, reading and writing, contents kept
        EscribirDesdeInicio, // open or create, writing from the first byte, contents kept
        CrearNuevo,        // a new file only (kErrorArchivoExiste when the name is taken)
        CrearPrivado,      // a new file only (an existing one or a link is refused), writing;
                           // its owner alone may read or change it (a private key)
    };

    ArchivoNativo() = default;

    bool Abrir(const std::string& ruta, Modo modo);
    bool Abierto() const { return manejador_.Valido(); }
    bool Escribir(std::string_view bytes);
    // Reads up to n bytes; leidos receives how many came.
    bool Leer(char* destino, size_t n, size_t& leidos);
    bool IrAlFinal();
    bool IrA(int64_t posicion); // from the first byte
    int64_t Tamano();
    // Closes the file; false when closing reported an error (or nothing was open).
    bool Cerrar();
    int32_t UltimoError() const { return error_; }

private:
    bool Fallo(); // records the system's last error; answers false
    ScopedHandle<ManejadorArchivoTraits> manejador_;
    int32_t error_ = 0;
};

} // namespace olvado::platform
