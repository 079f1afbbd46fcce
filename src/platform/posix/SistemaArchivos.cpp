// POSIX only: files and folders by name, the flock convention, the shell's move.
#include "platform/SistemaArchivos.h"
#include "platform/posix/ErroresPosix.h"
#include "platform/posix/PosixComun.h"
#include "platform/posix/RasgosManejadores.h"

#include "platform/ErroresSistema.h"
#include "platform/Rutas.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fnmatch.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace olvado::platform {
namespace {

bool LlenarEntrada(const std::string& ruta, const std::string& nombre, EntradaBuscada* e) {
    struct stat st{};
    if (::stat(ruta.c_str(), &st) != 0)
        return false;
    if (e) {
        e->Nombre = nombre;
        e->EsCarpeta = S_ISDIR(st.st_mode);
    }
    return true;
}

// Missing folders readable by all, whatever the umask (the hive's rule).
void CrearCarpetasPublicas(const std::string& carpeta) {
    struct stat st{};
    if (carpeta.empty() || carpeta == "/" || ::lstat(carpeta.c_str(), &st) == 0)
        return;
    const size_t barra = carpeta.find_last_of('/', carpeta.find_last_not_of('/'));
    if (barra != std::string::npos)
        CrearCarpetasPublicas(carpeta.substr(0, barra));
    if (::mkdir(carpeta.c_str(), 0755) == 0)
        ::chmod(carpeta.c_str(), 0755);
}

} // namespace

bool BuscarPrimero(const std::string& patron, EntradaBuscada* encontrada) {
    std::string p = posix::RutaNativa(patron);
    if (p.empty() || p.back() == '/')
        return false;
    size_t barra = p.rfind('/');
    std::string carpeta = barra == std::string::npos ? "." : (barra == 0 ? "/" : p.substr(0, barra));
    std::string nombre = barra == std::string::npos ? p : p.substr(barra + 1);
    if (nombre.find_first_of("*?") == std::string::npos)
        return LlenarEntrada(p, nombre, encontrada);
    if (nombre == "*.*") // Windows: every name, with or without a dot
        nombre = "*";
    DIR* d = ::opendir(carpeta.c_str());
    if (!d)
        return false;
    bool hallado = false;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == ".." || ::fnmatch(nombre.c_str(), n.c_str(), 0) != 0)
            continue;
        if (LlenarEntrada(carpeta + "/" + n, n, encontrada)) {
            hallado = true;
            break;
        }
    }
    ::closedir(d);
    return hallado;
}

int64_t TamanoArchivo(const std::string& ruta) {
    struct stat st{};
    if (::stat(posix::RutaNativa(ruta).c_str(), &st) != 0)
        return -1;
    return st.st_size;
}

bool BorrarArchivo(const std::string& ruta) {
    std::string r = posix::RutaNativa(ruta);
    struct stat st{};
    if (::lstat(r.c_str(), &st) != 0)
        return false;
    // A link goes as DeleteFile takes one; a folder, FIFO or device is not a
    // file to delete, and is never opened.
    if (!S_ISLNK(st.st_mode) && !S_ISREG(st.st_mode)) {
        errno = EACCES;
        return false;
    }
    ScopedFd fd = S_ISREG(st.st_mode) ? posix::AbrirArchivoRegular(r, O_RDONLY | O_NOFOLLOW) : ScopedFd();
    if (fd && ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        fd.Reset();
        errno = EWOULDBLOCK; // held by another writer: Windows' sharing violation
        return false;
    }
    bool borrado = ::unlink(r.c_str()) == 0;
    int e = errno;
    fd.Reset();
    errno = e;
    return borrado;
}
bool CrearCarpeta(const std::string& ruta) { return ::mkdir(posix::RutaNativa(ruta).c_str(), 0777) == 0; }
bool BorrarCarpeta(const std::string& ruta) { return ::rmdir(posix::RutaNativa(ruta).c_str()) == 0; }

bool ArchivoAbiertoPorOtro(const std::string& ruta) {
    // Closing drops the lock we may have taken.
    ScopedFd fd = posix::AbrirArchivoRegular(posix::RutaNativa(ruta), O_RDONLY);
    return fd && ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

int32_t MoverConShell(const std::string& origen, const std::string& destino, bool& abortado) {
    namespace fs = std::filesystem;
    abortado = false;
    fs::path de = posix::RutaNativa(origen), a = posix::RutaNativa(destino);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(de, ec)))
        return kErrorArchivoNoEncontrado;
    if (fs::is_directory(a, ec))
        a /= de.filename();
    fs::rename(de, a, ec);
    if (ec && ec.value() == EXDEV) { // another file system: copy, then remove
        ec.clear();
        fs::copy(de, a, fs::copy_options::overwrite_existing | fs::copy_options::recursive, ec);
        if (!ec)
            fs::remove_all(de, ec);
    }
    return ec ? CodigoDesdeErrno(ec.value()) : 0;
}

bool ReemplazarArchivo(const std::string& ruta, std::string_view contenido, int32_t& error) {
    const std::string destino = posix::RutaNativa(ruta);
    const size_t barra = destino.rfind('/');
    if (barra != std::string::npos && barra > 0)
        CrearCarpetasPublicas(destino.substr(0, barra));
    struct stat st{};
    const bool existia = ::lstat(destino.c_str(), &st) == 0;
    if (existia && !S_ISREG(st.st_mode)) { // a link or a folder in the file's place
        error = kErrorAccesoDenegado;
        return false;
    }
    const std::string temporal = destino + ".nuevo." + std::to_string(::getpid());
    ::unlink(temporal.c_str()); // one a dead run left; ours is made new, never through a link
    // Private until its mode is set: nobody opens it in between.
    ScopedFd fd(::open(temporal.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd) {
        error = CodigoDesdeErrno(errno);
        return false;
    }
    auto fallo = [&] {
        error = CodigoDesdeErrno(errno);
        ::unlink(temporal.c_str());
        return false;
    };
    // Owner first: a change of owner clears the set-id bits.
    const bool otroDueno = existia && (st.st_uid != ::geteuid() || st.st_gid != ::getegid());
    if ((otroDueno && ::fchown(fd.Get(), st.st_uid, st.st_gid) != 0) ||
        ::fchmod(fd.Get(), existia ? (st.st_mode & 0644) : 0644) != 0)
        return fallo();
    for (size_t hecho = 0; hecho < contenido.size();) {
        const ssize_t n = ::write(fd.Get(), contenido.data() + hecho, contenido.size() - hecho);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fallo();
        hecho += static_cast<size_t>(n);
    }
    if (::fsync(fd.Get()) != 0 || ::rename(temporal.c_str(), destino.c_str()) != 0)
        return fallo();
    return true;
}

bool HayManejadorLibre() {
    return ScopedFd(::open("/dev/null", O_RDONLY | O_CLOEXEC)).Valido();
}

namespace posix {

ScopedFd AbrirArchivoRegular(const std::string& ruta, int banderas) {
    ScopedFd fd(::open(ruta.c_str(), banderas | O_NONBLOCK | O_CLOEXEC));
    struct stat st{};
    if (fd && (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))) {
        fd.Reset();
        errno = EACCES;
    }
    return fd;
}

bool LeerArchivoRegular(const std::string& ruta, std::string& bytes) {
    bytes.clear();
    ScopedFd fd = AbrirArchivoRegular(ruta, O_RDONLY);
    if (!fd)
        return false;
    char bloque[65536];
    ssize_t n;
    while ((n = ::read(fd.Get(), bloque, sizeof bloque)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            bytes.append(bloque, static_cast<size_t>(n));
    return n == 0;
}

} // namespace posix

} // namespace olvado::platform
