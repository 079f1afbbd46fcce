// POSIX workstation and account names.
#include "platform/Equipo.h"

#include "platform/Entorno.h"

#include <fstream>
#include <pwd.h>
#include <unistd.h>

namespace olvado::platform {

std::string NombreEquipo() {
    std::string raiz = LeerVariableEntorno("OLVADO_ROOT");
    if (!raiz.empty() && raiz != "/") {
        std::ifstream archivo(raiz + "/etc/hostname");
        std::string nombre;
        if (std::getline(archivo, nombre) && !nombre.empty())
            return nombre;
    }
    char nombre[256] = {};
    if (::gethostname(nombre, sizeof nombre - 1) != 0)
        return "";
    return nombre;
}

std::string NombreUsuario() {
    struct passwd pw {};
    struct passwd* resultado = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::geteuid(), &pw, buffer, sizeof buffer, &resultado) != 0 || !resultado)
        return "";
    return resultado->pw_name;
}

} // namespace olvado::platform
