// POSIX environment variables.
#include "platform/Entorno.h"

#include <cstdlib>

namespace olvado::platform {

std::string LeerVariableEntorno(const std::string& nombre) {
    const char* v = std::getenv(nombre.c_str());
    return v ? v : "";
}

bool ExisteVariableEntorno(const std::string& nombre) { return std::getenv(nombre.c_str()) != nullptr; }

void EstablecerVariableEntorno(const std::string& nombre, const std::string& valor) {
    if (valor.empty())
        ::unsetenv(nombre.c_str());
    else
        ::setenv(nombre.c_str(), valor.c_str(), 1);
}

} // namespace olvado::platform
