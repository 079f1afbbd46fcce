#include "updater/ProgramarPreparacion.h"

#include "platform/ProcesoHijo.h"
#include "platform/TareaProgramada.h"
#include "updater/VentanaPreparacion.h"

#include <random>

namespace olvado {
namespace {

// The path may hold any character a folder name allows.
std::string EscaparXml(const std::string& texto) {
    std::string r;
    for (char c : texto) {
        switch (c) {
        case '&': r += "&amp;"; break;
        case '<': r += "&lt;"; break;
        case '>': r += "&gt;"; break;
        case '"': r += "&quot;"; break;
        default: r += c;
        }
    }
    return r;
}

} // namespace

std::string DefinicionTareaPreparacion(const std::string& Programa, const std::string& Hora) {
    const std::string programa = EscaparXml(Programa);
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
           "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
           "  <RegistrationInfo><Description>Prepara el paquete de Olvado cada noche a las " + Hora + ": \"" +
           programa + "\" --preparar</Description></RegistrationInfo>\n"
           "  <Triggers><CalendarTrigger><StartBoundary>2020-01-01T" + Hora + ":00</StartBoundary>"
           "<ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay></CalendarTrigger></Triggers>\n"
           "  <Principals><Principal id=\"Sistema\"><UserId>S-1-5-18</UserId>"
           "<RunLevel>HighestAvailable</RunLevel></Principal></Principals>\n"
           // A night missed while the machine was off is not made up in the
           // morning, where the run at program start would find this one
           // holding the updater's mutex and end without updating.
           "  <Settings><StartWhenAvailable>false</StartWhenAvailable>"
           "<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
           "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
           "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
           "<ExecutionTimeLimit>PT1H</ExecutionTimeLimit></Settings>\n"
           "  <Actions Context=\"Sistema\"><Exec><Command>" + programa + "</Command>"
           "<Arguments>--preparar</Arguments></Exec></Actions>\n"
           "</Task>\n";
}

bool ProgramarPreparacion(const std::string& Ventana, std::string& Motivo) {
    VentanaPreparacion ventana;
    if (!ventana.Leer(Ventana, Motivo))
        return false;
    const std::string programa = platform::RutaEjecutableActual();
    if (programa.empty()) {
        Motivo = "no se conoce la ruta de este programa";
        return false;
    }
    std::random_device azar;
    const std::string hora = VentanaPreparacion::Hora(ventana.Minuto(azar()));
    return platform::RegistrarTareaProgramada(kTareaPreparacion, DefinicionTareaPreparacion(programa, hora),
                                              Motivo);
}

bool QuitarPreparacion(std::string& Motivo) {
    return platform::QuitarTareaProgramada(kTareaPreparacion, Motivo);
}

} // namespace olvado
