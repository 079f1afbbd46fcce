// The system's event log. Windows: RegisterEventSourceA (local computer),
// ReportEventA with one insertion string and the binary data, then
// DeregisterEventSource. Linux: syslog, the source as the identity, the type
// as the priority (1 error, 2 warning, 4 information, 0 notice); the binary
// data have no place there. Tests put another implementation in place.
#pragma once

#include "base/Servicio.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::platform {

struct Evento {
    std::string Origen;
    int32_t Tipo = 0; // 0 success, 1 error, 2 warning, 4 information
    int32_t Categoria = 1;
    int32_t Id = 0;
    std::string Mensaje;
    std::vector<uint8_t> Datos;
};

class IEventos : public Servicio<IEventos> {
public:
    static IEventos& DelSistema();
    virtual ~IEventos() = default;
    // False when the source cannot be registered or the report fails.
    virtual bool Registrar(const Evento& e) = 0;
};

// The computer's beep (MessageBeep; on Linux the display's bell when a window
// shows, else a bell on a terminal's standard error).
void Pitido();

} // namespace olvado::platform
