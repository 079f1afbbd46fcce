// POSIX only: one open file on a descriptor; writers hold an exclusive flock.
#include "platform/ArchivoNativo.h"
#include "platform/posix/ErroresPosix.h"
#include "platform/posix/PosixComun.h"
#include "platform/posix/RasgosManejadores.h"

#include "platform/ErroresSistema.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace olvado::platform {

bool ManejadorArchivoTraits::CerrarManejador(intptr_t h) { return FdTraits::Close(static_cast<int>(h)); }

bool ArchivoNativo::Fallo() {
    error_ = CodigoDesdeErrno(errno);
    return false;
}

bool ArchivoNativo::Abrir(const std::string& ruta, Modo modo) {
    Cerrar();
    int banderas = O_CLOEXEC | O_NONBLOCK;
    switch (modo) {
    case Modo::Leer:
    case Modo::LeerPrivado: banderas |= O_RDONLY; break;
    case Modo::Crear:
    case Modo::EscribirDesdeInicio: banderas |= O_WRONLY | O_CREAT | O_NOFOLLOW; break;
    case Modo::LeerEscribir: banderas |= O_RDWR | O_NOFOLLOW; break;
    case Modo::CrearNuevo: banderas |= O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    case Modo::CrearPrivado: banderas |= O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW; break;
    }
    int fd = ::open(posix::RutaNativa(ruta).c_str(), banderas, modo == Modo::CrearPrivado ? 0600 : 0666);
    if (fd < 0)
        return Fallo();
    ScopedHandle<ManejadorArchivoTraits> nuevo(fd);
    struct stat st{};
    // A key others may read is a key already lost, as ssh holds.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (modo == Modo::LeerPrivado && (st.st_mode & 077))) {
        error_ = kErrorAccesoDenegado; // as Windows answers for a folder
        return false;
    }
    if (modo != Modo::Leer && modo != Modo::LeerPrivado) {
        // The lock comes before any change: a file held by another writer is
        // refused untouched, with Windows' sharing violation.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            return Fallo();
        if (modo == Modo::Crear && ::ftruncate(fd, 0) != 0)
            return Fallo();
    }
    manejador_ = std::move(nuevo);
    error_ = 0;
    return true;
}

bool ArchivoNativo::Escribir(std::string_view bytes) {
    if (!Abierto()) {
        error_ = kErrorManejadorNoValido;
        return false;
    }
    const char* p = bytes.data();
    size_t queda = bytes.size();
    while (queda > 0) {
        ssize_t n = ::write(static_cast<int>(manejador_.Get()), p, queda);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Fallo();
        }
        p += n;
        queda -= static_cast<size_t>(n);
    }
    return true;
}

bool ArchivoNativo::Leer(char* destino, size_t n, size_t& leidos) {
    leidos = 0;
    if (!Abierto()) {
        error_ = kErrorManejadorNoValido;
        return false;
    }
    while (leidos < n) {
        ssize_t r = ::read(static_cast<int>(manejador_.Get()), destino + leidos, n - leidos);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return Fallo();
        }
        if (r == 0)
            break;
        leidos += static_cast<size_t>(r);
    }
    return true;
}

bool ArchivoNativo::IrAlFinal() {
    return Abierto() && (::lseek(static_cast<int>(manejador_.Get()), 0, SEEK_END) >= 0 || Fallo());
}

bool ArchivoNativo::IrA(int64_t posicion) {
    return Abierto() && (::lseek(static_cast<int>(manejador_.Get()), posicion, SEEK_SET) >= 0 || Fallo());
}

int64_t ArchivoNativo::Tamano() {
    struct stat st{};
    if (!Abierto() || ::fstat(static_cast<int>(manejador_.Get()), &st) != 0)
        return -1;
    return st.st_size;
}

bool ArchivoNativo::Cerrar() {
    if (!Abierto())
        return false;
    if (!ManejadorArchivoTraits::CerrarManejador(manejador_.Release()))
        return Fallo();
    return true;
}

} // namespace olvado::platform
