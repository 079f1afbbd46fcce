// POSIX only: the Linux stand-in locations of the special folders.
#include "platform/CarpetasEspeciales.h"

#include "platform/Entorno.h"
#include "platform/posix/RasgosManejadores.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace olvado::platform {
namespace {

std::string SinSeparadorFinal(std::string r) {
    while (r.size() > 1 && r.back() == '/')
        r.pop_back();
    return r;
}

std::string Home() {
    std::string h = LeerVariableEntorno("HOME");
    if (!h.empty())
        return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "";
}

// A privileged run (root, or set-id) may keep a user's environment (sudo -E):
// then nothing that account controls chooses where it writes.
bool Privilegiado() { return ::geteuid() == 0 || ::geteuid() != ::getuid(); }

// True when only this process's account and root can change what the path
// names: every existing part is a real folder (never a link), owned by root
// or by us and writable by no one else unless sticky; the folder itself is
// ours. A missing part ends the check: nothing below it exists yet, and only
// root or we could make it.
bool CarpetaPropia(const std::string& ruta) {
    if (ruta.empty() || ruta[0] != '/')
        return false;
    const uid_t yo = ::geteuid();
    size_t fin = 0;
    for (;;) {
        const std::string parte = fin == 0 ? "/" : ruta.substr(0, fin);
        const bool ultima = ruta.find_first_not_of('/', fin) == std::string::npos;
        struct stat st {};
        if (::lstat(parte.c_str(), &st) != 0)
            return errno == ENOENT;
        if (!S_ISDIR(st.st_mode) || (st.st_uid != 0 && st.st_uid != yo) || (ultima && st.st_uid != yo) ||
            ((st.st_mode & 022) && !(st.st_mode & S_ISVTX)))
            return false;
        if (ultima)
            return true;
        const size_t inicio = ruta.find_first_not_of('/', fin);
        fin = std::min(ruta.find('/', inicio), ruta.size());
    }
}

// The file's text; for a privileged run only a regular file of its own.
std::string LeerArchivoPropio(const std::string& ruta) {
    ScopedFd fd(::open(ruta.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        (Privilegiado() && st.st_uid != ::geteuid()))
        return "";
    std::string texto;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd.Get(), buf, sizeof buf)) > 0 && texto.size() < (1u << 20))
        texto.append(buf, static_cast<size_t>(n));
    return texto;
}

// XDG_DOCUMENTS_DIR="$HOME/..." from user-dirs.dirs; "" when absent.
std::string DocumentosDeUserDirs(const std::string& home) {
    std::string config = LeerVariableEntorno("XDG_CONFIG_HOME");
    if (config.empty())
        config = home + "/.config";
    std::istringstream f(LeerArchivoPropio(config + "/user-dirs.dirs"));
    std::string linea;
    const std::string clave = "XDG_DOCUMENTS_DIR=";
    while (std::getline(f, linea)) {
        if (linea.rfind(clave, 0) != 0)
            continue;
        std::string v = linea.substr(clave.size());
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = v.substr(1, v.size() - 2);
        if (v.rfind("$HOME", 0) == 0)
            v = home + v.substr(5);
        return v;
    }
    return "";
}

std::string Documentos(const std::string& home) {
    std::string d = LeerVariableEntorno("XDG_DOCUMENTS_DIR");
    if (d.empty() && !home.empty())
        d = DocumentosDeUserDirs(home);
    // A documents dir equal to $HOME means "not set" to the XDG tools.
    if (d.empty() || SinSeparadorFinal(d) == SinSeparadorFinal(home) || (Privilegiado() && !CarpetaPropia(d)))
        d = home.empty() ? "" : home + "/Documents";
    return d;
}

std::string Documentos() {
    std::string d = Documentos(Home());
    if (!Privilegiado() || CarpetaPropia(SinSeparadorFinal(d)))
        return d;
    // Another account's folder: the account's own home from the system's
    // user database, never the environment's.
    const passwd* pw = ::getpwuid(::geteuid());
    d = pw && pw->pw_dir && *pw->pw_dir ? pw->pw_dir + std::string("/Documents") : "";
    return CarpetaPropia(d) ? d : "";
}

std::string BajoRaiz(const char* sub) {
    std::string raiz = LeerVariableEntorno("OLVADO_ROOT");
    if (raiz.empty())
        raiz = "/";
    return SinSeparadorFinal(raiz) == "/" ? std::string("/") + sub : SinSeparadorFinal(raiz) + "/" + sub;
}

} // namespace

std::string RutaEspecial(intptr_t, int32_t csidl) {
    std::string r;
    switch (csidl) {
    case CSIDL_PERSONAL: r = Documentos(); break;
    case CSIDL_APPDATA:
        r = LeerVariableEntorno("XDG_DATA_HOME");
        if (r.empty() && !Home().empty())
            r = Home() + "/.local/share";
        break;
    case CSIDL_COMMON_APPDATA: r = BajoRaiz("var/lib"); break;
    case CSIDL_SYSTEM: r = BajoRaiz("usr/bin"); break;
    case CSIDL_PROGRAM_FILES:
    case CSIDL_PROGRAM_FILESX86: r = BajoRaiz("opt"); break;
    default: return "";
    }
    return r.empty() ? "" : SinSeparadorFinal(r);
}

} // namespace olvado::platform
