// POSIX only: the event log as syslog, and the terminal bell.
#include "platform/Eventos.h"
#include "platform/posix/ModuloGui.h"

#include <syslog.h>
#include <unistd.h>

namespace olvado::platform {
namespace {

class EventosSyslog final : public IEventos {
public:
    bool Registrar(const Evento& e) override {
        int prioridad = e.Tipo == 1 ? LOG_ERR : e.Tipo == 2 ? LOG_WARNING : e.Tipo == 4 ? LOG_INFO : LOG_NOTICE;
        // openlog keeps the pointer: the identity must outlive the call.
        std::string origen = e.Origen;
        openlog(origen.c_str(), LOG_PID, LOG_USER);
        syslog(prioridad, "[%d] %s", e.Id, e.Mensaje.c_str());
        closelog();
        return true;
    }
};

} // namespace

IEventos& IEventos::DelSistema() {
    static EventosSyslog e;
    return e;
}

void Pitido() {
    if (const OlvadoGuiTabla* gui = ModuloGui())
        gui->Pitido();
    else if (::isatty(STDERR_FILENO))
        (void)!::write(STDERR_FILENO, "\a", 1);
}

} // namespace olvado::platform
