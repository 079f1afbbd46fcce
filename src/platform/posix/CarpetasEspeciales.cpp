// POSIX only: the Linux stand-in locations of the special folders.
#include "platform/CarpetasEspeciales.h"

#include "platform/Entorno.h"

#include <fstream>
#include <pwd.h>
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

// XDG_DOCUMENTS_DIR="$HOME/..." from user-dirs.dirs; "" when absent.
std::string DocumentosDeUserDirs(const std::string& home) {
    std::string config = LeerVariableEntorno("XDG_CONFIG_HOME");
    if (config.empty())
        config = home + "/.config";
    std::ifstream f(config + "/user-dirs.dirs");
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

std::string Documentos() {
    std::string home = Home();
    std::string d = LeerVariableEntorno("XDG_DOCUMENTS_DIR");
    if (d.empty() && !home.empty())
        d = DocumentosDeUserDirs(home);
    // A documents dir equal to $HOME means "not set" to the XDG tools.
    if (d.empty() || SinSeparadorFinal(d) == SinSeparadorFinal(home))
        d = home.empty() ? "" : home + "/Documents";
    return d;
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
