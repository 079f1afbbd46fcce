// Helpers shared by the POSIX implementations (not part of any contract).
#pragma once

#include <string>

namespace olvado::platform::posix {

// The text as a path for the system: every "\" becomes "/" (see Rutas.h).
std::string RutaNativa(const std::string& ruta);

} // namespace olvado::platform::posix
