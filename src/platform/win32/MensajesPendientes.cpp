// Win32 only: the thread's message queue emptied through the window procedures.
#include "platform/MensajesPendientes.h"

#include <windows.h>

namespace olvado::platform {
namespace {

class MensajesWin32 final : public IMensajesPendientes {
public:
    void Procesar() override {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
};

} // namespace

IMensajesPendientes& IMensajesPendientes::DelSistema() {
    static MensajesWin32 m;
    return m;
}

} // namespace olvado::platform
