// DoEvents: lets the window messages that wait in this thread's queue run,
// then returns. Windows: PeekMessageA with PM_REMOVE, TranslateMessage and
// DispatchMessageA until the queue is empty. Linux: nothing waits; the
// program's windows run their own loop while they are shown. Tests put a fake
// in place with EstablecerMensajesPendientes.
#pragma once

namespace olvado::platform {

class IMensajesPendientes {
public:
    virtual ~IMensajesPendientes() = default;
    virtual void Procesar() = 0;
};

IMensajesPendientes& MensajesPendientesActual();
// nullptr puts the system's back.
void EstablecerMensajesPendientes(IMensajesPendientes* otro);

inline void ProcesarMensajesPendientes() { MensajesPendientesActual().Procesar(); }

} // namespace olvado::platform
