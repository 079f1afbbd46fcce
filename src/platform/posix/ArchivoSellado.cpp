// POSIX only: the package's bytes in a sealed memfd, copied from a file
// (Abrir) or written into it (Crear, Escribir, Sellar).
#include "platform/ArchivoSellado.h"
#include "platform/SistemaArchivos.h"
#include "platform/posix/RasgosManejadores.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
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

// Against writing, shrinking, growing and further seals; read from the start.
bool SellarMemoria(int fd) {
    return ::fcntl(fd, F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_SEAL) == 0 &&
           ::lseek(fd, 0, SEEK_SET) == 0;
}

// The folder of ruta, as a descriptor every later step names the file from;
// nombre receives the last component.
ScopedFd AbrirCarpeta(const std::string& ruta, std::string& nombre) {
    const size_t barra = ruta.rfind('/');
    nombre = ruta.substr(barra == std::string::npos ? 0 : barra + 1);
    const std::string carpeta = barra == std::string::npos ? "." : barra == 0 ? "/" : ruta.substr(0, barra);
    if (nombre.empty() || nombre == "." || nombre == "..")
        return ScopedFd();
    return ScopedFd(::open(carpeta.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// Nothing at all (no file, link, FIFO or device) stands at nombre.
bool NombreLibre(int carpeta, const std::string& nombre) {
    struct stat st {};
    return ::fstatat(carpeta, nombre.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT;
}

// The sealed bytes copied by the kernel (no trip through this process) into
// a new file of the folder, then linked at ruta: the name never shows a
// partial package and never replaces what stands there (link fails with
// EEXIST). The file has no name until then, so being killed here leaves
// nothing; where the file system has no unnamed files, a temporary name
// of this process is linked and removed instead.
bool CopiarAlDisco(int memoria, const std::string& ruta) {
    std::string nombre;
    ScopedFd carpeta = AbrirCarpeta(ruta, nombre);
    struct stat st {};
    if (!carpeta || !NombreLibre(carpeta.Get(), nombre) || ::fstat(memoria, &st) != 0)
        return false;
    ScopedFd copia(::openat(carpeta.Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644));
    std::string temporal;
    if (!copia && (errno == EOPNOTSUPP || errno == EISDIR)) {
        temporal = "." + nombre + ".nuevo." + std::to_string(::getpid());
        ::unlinkat(carpeta.Get(), temporal.c_str(), 0); // one a dead run left
        copia.Reset(::openat(carpeta.Get(), temporal.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                             0644));
    }
    if (!copia)
        return false;
    off_t hecho = 0;
    while (hecho < st.st_size) {
        ssize_t n = ::sendfile(copia.Get(), memoria, &hecho, static_cast<size_t>(st.st_size - hecho));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
    }
    bool ok = hecho == st.st_size;
    if (temporal.empty()) {
        const std::string propia = "/proc/self/fd/" + std::to_string(copia.Get());
        return ok && ::linkat(AT_FDCWD, propia.c_str(), carpeta.Get(), nombre.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }
    ok = ok && ::linkat(carpeta.Get(), temporal.c_str(), carpeta.Get(), nombre.c_str(), 0) == 0;
    ::unlinkat(carpeta.Get(), temporal.c_str(), 0);
    return ok;
}

// The regular file at ruta (with one name only when unNombre) copied into a
// sealed memory file: its descriptor, or -1.
int Retener(const std::string& ruta, bool unNombre) {
    // Never through a link, and no FIFO or device blocks the open.
    ScopedFd archivo(::open(ruta.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    const bool propio = archivo && ::fstat(archivo.Get(), &st) == 0 && S_ISREG(st.st_mode) &&
                        (!unNombre || st.st_nlink == 1);
    ScopedFd fd(propio ? CrearMemoria(ruta) : -1);
    // Once sealed nobody, this account included, can change the copy; the
    // digest is taken from it and the launch starts it.
    if (!fd || !Copiar(archivo.Get(), fd.Get(), st.st_size) || !SellarMemoria(fd.Get()))
        return -1;
    return fd.Release();
}

} // namespace

bool ArchivoSellado::Abrir(const std::string& ruta) {
    Cerrar();
    const int fd = Retener(ruta, false);
    if (fd < 0)
        return false;
    nativo_ = fd;
    ruta_ = ruta;
    return true;
}

bool ArchivoSellado::AbrirPrevio(const std::string& ruta) {
    Cerrar();
    const int fd = Retener(ruta, true);
    if (fd < 0)
        return false;
    nativo_ = fd;
    ruta_ = ruta;
    previo_ = true;
    return true;
}

// The bytes are the sealed copy: the name alone goes, as any file of the
// folder is deleted (one that another writer holds stays, as on Windows).
bool ArchivoSellado::SoltarRuta() {
    return previo_ && (BorrarArchivo(ruta_) || errno == ENOENT);
}

std::span<char> ArchivoSellado::Reservar(uint64_t n) {
    if (!creando_ || vista_ || n == 0 || n > SIZE_MAX / 2 || Tamano() != 0 ||
        ::ftruncate(static_cast<int>(nativo_), static_cast<off_t>(n)) != 0)
        return {};
    return MapearVista(n, true);
}

std::span<char> ArchivoSellado::MapearVista(uint64_t n, bool escritura) {
    void* v = ::mmap(nullptr, static_cast<size_t>(n), escritura ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED,
                     static_cast<int>(nativo_), 0);
    if (v == MAP_FAILED)
        return {};
    vista_ = static_cast<char*>(v);
    tamanoVista_ = static_cast<size_t>(n);
    return {vista_, tamanoVista_};
}

// A shared view's pages dropped are read back from the memory file if touched again.
void ArchivoSellado::SoltarPaginas(uint64_t hasta) {
    const auto pagina = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
    hasta = std::min<uint64_t>(hasta, tamanoVista_) / pagina * pagina;
    if (creando_ && vista_ && hasta > 0)
        ::madvise(vista_, static_cast<size_t>(hasta), MADV_DONTNEED);
}

void ArchivoSellado::Desmapear() {
    if (vista_)
        ::munmap(vista_, tamanoVista_);
    vista_ = nullptr;
    tamanoVista_ = 0;
}

bool ArchivoSellado::Crear(const std::string& ruta) {
    Cerrar();
    // A name already taken fails now, before the package is fetched; Sellar
    // makes sure again when it links the copy there.
    std::string nombre;
    ScopedFd carpeta = AbrirCarpeta(ruta, nombre);
    if (!carpeta || !NombreLibre(carpeta.Get(), nombre))
        return false;
    const int fd = CrearMemoria(ruta);
    if (fd < 0)
        return false;
    nativo_ = fd;
    ruta_ = ruta;
    creando_ = true;
    return true;
}

bool ArchivoSellado::Escribir(const void* datos, size_t n) {
    if (!creando_ || vista_)
        return false;
    for (auto* p = static_cast<const char*>(datos); n > 0;) {
        ssize_t w = ::write(static_cast<int>(nativo_), p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

bool ArchivoSellado::Sellar() {
    if (!creando_)
        return false;
    creando_ = false;
    // Sealed before the disk copy is made from it: the copy holds the bytes
    // that run. The link comes last, so a failure leaves no name behind.
    const int fd = static_cast<int>(nativo_);
    // A writable view would keep the seal from taking.
    Desmapear();
    if (!SellarMemoria(fd) || !CopiarAlDisco(fd, ruta_)) {
        Cerrar();
        return false;
    }
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
    // Before Sellar nothing is on disk: the memory file goes with its descriptor.
    Desmapear();
    if (Abierto())
        FdTraits::Close(static_cast<int>(nativo_));
    nativo_ = kInvalido;
    ruta_.clear();
    creando_ = false;
    previo_ = false;
}

} // namespace olvado::platform
