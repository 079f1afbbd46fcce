// Linux: no task scheduler of the system's own to register with.
#include "platform/TareaProgramada.h"

namespace olvado::platform {

bool RegistrarTareaProgramada(const std::string&, const std::string&, std::string& Motivo) {
    Motivo = "no admitido en este sistema";
    return false;
}

bool QuitarTareaProgramada(const std::string&, std::string& Motivo) {
    Motivo = "no admitido en este sistema";
    return false;
}

} // namespace olvado::platform
