// POSIX sealed package file: one read-only descriptor, checked and tightened.
#include "platform/ArchivoSellado.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace olvado::platform {

bool ArchivoSellado::Abrir(const std::string& ruta) {
    Cerrar();
    int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    // Another account that owns the file could rewrite it in place.
    ok = ok && (st.st_uid == ::geteuid() || st.st_uid == 0);
    if (ok && (st.st_mode & (S_IWGRP | S_IWOTH)))
        ok = ::fchmod(fd, st.st_mode & 07755) == 0;
    // A read lease is refused while anyone holds the file open for writing:
    // a writer opened before the tightening would keep its rights. File
    // systems without leases (EINVAL) answer nothing either way.
    if (ok && ::fcntl(fd, F_SETLEASE, F_RDLCK) == 0)
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
    else if (ok && errno == EAGAIN)
        ok = false;
    if (!ok) {
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

void ArchivoSellado::Cerrar() {
    if (Abierto())
        ::close(static_cast<int>(nativo_));
    nativo_ = kInvalido;
    ruta_.clear();
}

} // namespace olvado::platform
