// POSIX only: named mutexes as flock'ed lock files.
#include "platform/MutexNombrado.h"

#include "platform/Entorno.h"
#include "platform/posix/RasgosManejadores.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace olvado::platform {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kGlobal = "Global\\";

fs::path RutaBloqueo(const std::string& nombre, bool& global) {
    global = nombre.rfind(kGlobal, 0) == 0;
    std::string archivo = global ? nombre.substr(kGlobal.size()) : nombre;
    for (char& c : archivo)
        if (c == '\\')
            c = '_';
    archivo += ".lock";
    if (global) {
        std::string raiz = LeerVariableEntorno("OLVADO_ROOT");
        return fs::path(raiz.empty() ? "/" : raiz) / "tmp/.olvado-mutex" / archivo;
    }
    std::string run = LeerVariableEntorno("XDG_RUNTIME_DIR");
    fs::path dir = run.empty() ? fs::path("/tmp/.olvado-mutex-" + std::to_string(::getuid()))
                               : fs::path(run) / "olvado-mutex";
    return dir / archivo;
}

// The folder's descriptor when it can be trusted the way /tmp is: a real
// folder (not a link), owned by root or by us, and sticky when others may
// write in it, so nobody can replace or plant our lock files. None otherwise.
ScopedFd AbrirCarpetaConfiable(const fs::path& dir) {
    ScopedFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd)
        return fd;
    struct stat st {};
    bool ok = ::fstat(fd.Get(), &st) == 0 && S_ISDIR(st.st_mode) &&
              (st.st_uid == 0 || st.st_uid == ::geteuid()) &&
              (!(st.st_mode & (S_IWGRP | S_IWOTH)) || (st.st_mode & S_ISVTX));
    if (!ok)
        fd.Reset();
    return fd;
}

// Makes the folder with its mode (a machine-wide one is open to every user,
// sticky, as /tmp) and answers its descriptor when it can be trusted; a
// folder someone else made first is refused, not used.
ScopedFd PrepararCarpeta(const fs::path& dir, bool global) {
    std::error_code ec;
    fs::create_directories(dir.parent_path(), ec);
    if (::mkdir(dir.c_str(), 0700) == 0 && global) {
        // Opened before widening: the mode changes on the folder we made.
        ScopedFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (fd)
            (void)::fchmod(fd.Get(), 01777);
    }
    return AbrirCarpetaConfiable(dir);
}

// The lock file inside the folder, never through a link nor into a FIFO or
// device; only a file this call creates gets its mode set.
ScopedFd AbrirArchivoBloqueo(int carpeta, const std::string& archivo, bool crear, bool global) {
    const int base = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    ScopedFd fd(crear ? ::openat(carpeta, archivo.c_str(), base | O_CREAT | O_EXCL, 0600) : -1);
    if (fd) {
        if (global)
            (void)::fchmod(fd.Get(), 0666); // other users' programs must be able to test it
        return fd;
    }
    if (crear && errno != EEXIST)
        return fd;
    fd.Reset(::openat(carpeta, archivo.c_str(), base));
    struct stat st {};
    if (fd && (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1))
        fd.Reset();
    return fd;
}

ScopedFd AbrirBloqueo(const std::string& nombre, bool crear) {
    bool global = false;
    fs::path ruta = RutaBloqueo(nombre, global);
    ScopedFd carpeta =
        crear ? PrepararCarpeta(ruta.parent_path(), global) : AbrirCarpetaConfiable(ruta.parent_path());
    if (!carpeta)
        return carpeta;
    return AbrirArchivoBloqueo(carpeta.Get(), ruta.filename().string(), crear, global);
}

} // namespace

bool ExisteMutexNombrado(const std::string& nombre) {
    ScopedFd fd = AbrirBloqueo(nombre, false);
    if (!fd)
        return false;
    // Some descriptor holds the lock, this process's own included.
    return ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

bool CrearMutexNombrado(const std::string& nombre, bool) {
    ScopedFd fd = AbrirBloqueo(nombre, true);
    if (!fd)
        return false;
    // A tester holds the lock for an instant; try again briefly before giving up.
    for (int intento = 0; intento < 5; ++intento) {
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) == 0) {
            fd.Release(); // the descriptor stays open, and the lock with it, until the process ends
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

} // namespace olvado::platform
