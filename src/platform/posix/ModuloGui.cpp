// Loads libolvado-gui.so from the folder of the object that holds this code
// (the updater, or the update library inside a family program), else from
// ../lib/olvado beside it, once per process.
#include "platform/posix/ModuloGui.h"

#include <dlfcn.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace olvado::platform {
namespace {

const OlvadoGuiTabla* Cargar() {
    const char* pantalla = std::getenv("DISPLAY");
    if (!pantalla || !*pantalla)
        return nullptr;
    // For the main program dladdr gives argv[0], which may be a bare name.
    std::vector<std::string> carpetas;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuloGui), &info) && info.dli_fname && std::strchr(info.dli_fname, '/'))
        carpetas.push_back(info.dli_fname);
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0)
        carpetas.emplace_back(exe, size_t(n));
    for (std::string carpeta : carpetas) {
        carpeta.erase(carpeta.find_last_of('/') + 1);
        for (const char* sitio : {"", "../lib/olvado/"}) {
            void* modulo = dlopen((carpeta + sitio + "libolvado-gui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!modulo)
                continue;
            auto iniciar = reinterpret_cast<OlvadoGuiIniciar>(dlsym(modulo, "olvado_gui_iniciar"));
            const OlvadoGuiTabla* t = iniciar ? iniciar() : nullptr;
            if (t && t->version == OLVADO_GUI_VERSION)
                return t; // stays loaded: GTK cannot be unloaded
            dlclose(modulo);
            return nullptr; // found but the display did not open
        }
    }
    return nullptr;
}

} // namespace

const OlvadoGuiTabla* ModuloGui() {
    static const OlvadoGuiTabla* tabla = Cargar();
    return tabla;
}

} // namespace olvado::platform
