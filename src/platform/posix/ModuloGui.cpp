// Loads libolvado-gui.so, once per process and only once a display is named,
// from the folder of the file that holds this code (the updater, or the update
// library inside a family program), else from ../lib/olvado beside it; then
// likewise beside the running program. Both folders come from the kernel's
// absolute paths: dladdr answers the name the host used, which may be
// relative ("./libolvado-actualizar.so") and so, after a change of folder,
// point into a folder that another user chose.
#include "platform/posix/ModuloGui.h"

#include <dlfcn.h>

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace olvado::platform {
namespace {

// The file mapped where this code lies, as /proc/self/maps names it.
std::string ArchivoPropio() {
    const auto aqui = reinterpret_cast<uintptr_t>(&ModuloGui);
    std::ifstream mapas("/proc/self/maps");
    for (std::string linea; std::getline(mapas, linea);) {
        uintptr_t inicio = 0, fin = 0;
        if (std::sscanf(linea.c_str(), "%" SCNxPTR "-%" SCNxPTR, &inicio, &fin) == 2 && aqui >= inicio &&
            aqui < fin)
            return linea.find('/') == std::string::npos ? "" : linea.substr(linea.find('/'));
    }
    return "";
}

const OlvadoGuiTabla* Cargar() {
    const char* pantalla = std::getenv("DISPLAY");
    if (!pantalla || !*pantalla)
        return nullptr;
    std::vector<std::string> archivos = {ArchivoPropio()};
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0)
        archivos.emplace_back(exe, size_t(n));
    for (std::string carpeta : archivos) {
        if (carpeta.empty() || carpeta[0] != '/')
            continue;
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
