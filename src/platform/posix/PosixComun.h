// Helpers shared by the POSIX implementations (not part of any contract).
#pragma once

#include "platform/posix/RasgosManejadores.h"

#include <string>

namespace olvado::platform::posix {

// The text as a path for the system: every "\" becomes "/" (see Rutas.h).
std::string RutaNativa(const std::string& ruta);

// A plain file opened by name without ever blocking: O_NONBLOCK (a FIFO's
// open waits for a writer otherwise), then fstat; what is not a regular file
// is closed and refused with EACCES. The descriptor, or none with errno set.
ScopedFd AbrirArchivoRegular(const std::string& ruta, int banderas);
// A whole plain file read through AbrirArchivoRegular; false when it could
// not be opened or read.
bool LeerArchivoRegular(const std::string& ruta, std::string& bytes);

} // namespace olvado::platform::posix
