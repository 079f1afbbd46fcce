#include "platform/HiloSuelto.h"

#include "platform/win32/RasgosManejadores.h"

#include <memory>
#include <process.h>

namespace olvado::platform {
namespace {

unsigned __stdcall Correr(void* arg) {
    std::unique_ptr<std::function<void()>> trabajo(static_cast<std::function<void()>*>(arg));
    (*trabajo)();
    return 0;
}

} // namespace

bool LanzarHiloSuelto(std::function<void()> trabajo) {
    auto propio = std::make_unique<std::function<void()>>(std::move(trabajo));
    // _beginthreadex, not CreateThread: the work uses the C runtime.
    const uintptr_t h = _beginthreadex(nullptr, 0, Correr, propio.get(), 0, nullptr);
    if (h == 0)
        return false;
    propio.release(); // the thread owns it now
    const Handle sinUso(reinterpret_cast<HANDLE>(h)); // closed here: the thread goes on alone
    return true;
}

} // namespace olvado::platform
