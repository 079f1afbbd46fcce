// POSIX only: mmap of a file held with a shared flock.
#include "platform/ArchivoMapeado.h"
#include "platform/posix/ErroresPosix.h"
#include "platform/posix/PosixComun.h"
#include "platform/posix/RasgosManejadores.h"

#include "platform/ErroresSistema.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace olvado::platform {

ArchivoMapeado::~ArchivoMapeado() {
    Cerrar();
}

bool ArchivoMapeado::Abrir(const std::string& ruta) {
    Cerrar();
    ScopedFd fd(::open(posix::RutaNativa(ruta).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd) {
        error_ = CodigoDesdeErrno(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<uint64_t>(st.st_size) > SIZE_MAX) {
        error_ = kErrorAccesoDenegado;
        return false;
    }
    // A writer of this system holds its exclusive lock: none may start while
    // the view is read, and one at work already refuses the mapping.
    if (::flock(fd.Get(), LOCK_SH | LOCK_NB) != 0) {
        error_ = CodigoDesdeErrno(errno);
        return false;
    }
    size_t tamano = static_cast<size_t>(st.st_size);
    if (tamano > 0) {
        void* p = ::mmap(nullptr, tamano, PROT_READ, MAP_PRIVATE, fd.Get(), 0);
        if (p == MAP_FAILED) {
            error_ = CodigoDesdeErrno(errno);
            return false;
        }
        datos_ = static_cast<const char*>(p);
    }
    tamano_ = tamano;
    archivo_ = fd.Release();
    abierto_ = true;
    error_ = 0;
    return true;
}

void ArchivoMapeado::Cerrar() {
    if (datos_)
        ::munmap(const_cast<char*>(datos_), tamano_);
    if (archivo_ >= 0)
        ScopedFd(static_cast<int>(archivo_)).Reset();
    datos_ = nullptr;
    tamano_ = 0;
    archivo_ = -1;
    abierto_ = false;
}

} // namespace olvado::platform
