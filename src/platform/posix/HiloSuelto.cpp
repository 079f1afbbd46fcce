#include "platform/HiloSuelto.h"

#include <system_error>
#include <thread>

namespace olvado::platform {

bool LanzarHiloSuelto(std::function<void()> trabajo) {
    try {
        std::thread(std::move(trabajo)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

} // namespace olvado::platform
