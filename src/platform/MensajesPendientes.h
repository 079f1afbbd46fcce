// DoEvents: lets the window messages that wait in this thread's queue run,
// then returns. Windows: PeekMessageA with PM_REMOVE, TranslateMessage and
// DispatchMessageA until the queue is empty. Linux: nothing waits; the
// program's windows run their own loop while they are shown. Tests put a fake in place (base/Servicio.h).
#pragma once

#include "base/Servicio.h"

namespace olvado::platform {

class IMensajesPendientes : public Servicio<IMensajesPendientes> {
public:
    static IMensajesPendientes& DelSistema();
    virtual ~IMensajesPendientes() = default;
    virtual void Procesar() = 0;
};

inline void ProcesarMensajesPendientes() { IMensajesPendientes::Actual().Procesar(); }

} // namespace olvado::platform
