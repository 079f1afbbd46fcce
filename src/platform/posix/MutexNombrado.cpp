// POSIX only: named mutexes as flock'ed lock files.
#include "platform/MutexNombrado.h"

#include "platform/Entorno.h"

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

// Creates the folder; a machine-wide one is open to every user (sticky, as /tmp).
void PrepararCarpeta(const fs::path& dir, bool global) {
    std::error_code ec;
    fs::create_directories(dir.parent_path(), ec);
    if (::mkdir(dir.c_str(), global ? 01777 : 0700) == 0 && global)
        ::chmod(dir.c_str(), 01777); // the umask took bits away
}

} // namespace

bool ExisteMutexNombrado(const std::string& nombre) {
    bool global = false;
    fs::path ruta = RutaBloqueo(nombre, global);
    int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some descriptor holds the lock, this process's own included.
    bool tomado = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return tomado;
}

bool CrearMutexNombrado(const std::string& nombre, bool) {
    bool global = false;
    fs::path ruta = RutaBloqueo(nombre, global);
    PrepararCarpeta(ruta.parent_path(), global);
    int fd = ::open(ruta.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, global ? 0666 : 0600);
    if (fd < 0)
        return false;
    if (global)
        ::fchmod(fd, 0666); // other users' programs must be able to test it
    // A tester holds the lock for an instant; try again briefly before giving up.
    for (int intento = 0; intento < 5; ++intento) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true; // the descriptor stays open, and the lock with it, until the process ends
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ::close(fd);
    return false;
}

} // namespace olvado::platform
