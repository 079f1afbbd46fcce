// POSIX sealed package file: the file's bytes copied into a sealed memfd.
#include "platform/ArchivoSellado.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace olvado::platform {
namespace {

// Copies every byte of origen into destino; false on any short or failed step.
// The kernel copies page to page (sendfile) where it can, which spares the
// package a trip through this process's memory; read/write otherwise.
bool Copiar(int origen, int destino, off_t tamano) {
    off_t hecho = 0;
    while (hecho < tamano) {
        ssize_t n = ::sendfile(destino, origen, nullptr, static_cast<size_t>(tamano - hecho));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        hecho += n;
    }
    char trozo[1 << 16];
    for (;;) {
        ssize_t n = ::read(origen, trozo, sizeof trozo);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        for (ssize_t escrito = 0; escrito < n;) {
            ssize_t w = ::write(destino, trozo + escrito, static_cast<size_t>(n - escrito));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            escrito += w;
        }
    }
}

// An anonymous file that may be sealed and executed (MFD_EXEC asks for the
// execute bit where the kernel would otherwise leave it out).
int CrearMemoria(const std::string& ruta) {
    std::string nombre = ruta.substr(ruta.find_last_of('/') + 1);
    unsigned banderas = MFD_CLOEXEC | MFD_ALLOW_SEALING;
#ifdef MFD_EXEC
    int fd = ::memfd_create(nombre.c_str(), banderas | MFD_EXEC);
    if (fd >= 0 || errno != EINVAL)
        return fd;
#endif
    return ::memfd_create(nombre.c_str(), banderas);
}

} // namespace

bool ArchivoSellado::Abrir(const std::string& ruta) {
    Cerrar();
    // Never through a link, and no FIFO or device blocks the open.
    int archivo = ::open(ruta.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (archivo < 0)
        return false;
    struct stat st {};
    int fd = ::fstat(archivo, &st) == 0 && S_ISREG(st.st_mode) ? CrearMemoria(ruta) : -1;
    bool ok = fd >= 0 && Copiar(archivo, fd, st.st_size);
    ::close(archivo);
    // Once sealed nobody, this account included, can change the copy; the
    // digest is taken from it and the launch starts it.
    ok = ok && ::fcntl(fd, F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) == 0 &&
         ::lseek(fd, 0, SEEK_SET) == 0;
    if (!ok) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    nativo_ = fd;
    ruta_ = ruta;
    return true;
}

int64_t ArchivoSellado::Leer(void* destino, size_t n) {
    if (!Abierto())
        return -1;
    ssize_t r;
    do {
        r = ::read(static_cast<int>(nativo_), destino, n);
    } while (r < 0 && errno == EINTR);
    return r;
}

bool ArchivoSellado::Rebobinar() {
    return Abierto() && ::lseek(static_cast<int>(nativo_), 0, SEEK_SET) == 0;
}

int64_t ArchivoSellado::Tamano() const {
    struct stat st {};
    if (!Abierto() || ::fstat(static_cast<int>(nativo_), &st) != 0)
        return -1;
    return st.st_size;
}

std::string ArchivoSellado::RutaLectura() const {
    return Abierto() ? "/proc/self/fd/" + std::to_string(nativo_) : std::string();
}

void ArchivoSellado::Cerrar() {
    if (Abierto())
        ::close(static_cast<int>(nativo_));
    nativo_ = kInvalido;
    ruta_.clear();
}

} // namespace olvado::platform
