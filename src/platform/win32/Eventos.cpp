// Win32 only: the event log through advapi32, and MessageBeep.
#include "platform/Eventos.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {
namespace {

class EventosWin32 final : public IEventos {
public:
    bool Registrar(const Evento& e) override {
        HANDLE h = RegisterEventSourceA(nullptr, AAnsi(e.Origen).c_str());
        if (!h)
            return false;
        std::string mensaje = AAnsi(e.Mensaje);
        const char* cadenas[] = {mensaje.c_str()};
        BOOL ok = ReportEventA(h, static_cast<WORD>(e.Tipo), static_cast<WORD>(e.Categoria),
                               static_cast<DWORD>(e.Id), nullptr, 1, static_cast<DWORD>(e.Datos.size()), cadenas,
                               e.Datos.empty() ? nullptr : const_cast<uint8_t*>(e.Datos.data()));
        DeregisterEventSource(h);
        return ok != 0;
    }
};

} // namespace

IEventos& IEventos::DelSistema() {
    static EventosWin32 e;
    return e;
}

void Pitido() { MessageBeep(MB_OK); }

} // namespace olvado::platform
