#include "updater/ProgramarPreparacion.h"

#include "common/IdentidadPrograma.h"
#include "platform/Eventos.h"
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

// The installer shows no output of its steps: the outcome goes to the
// system's log too.
bool Anotar(bool ok, const std::string& texto) {
    platform::IEventos::Actual().Registrar(
        {ObtenerIdentidadPrograma().Producto, ok ? 4 : 1, 1, 3004, texto, {}});
    return ok;
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
    const std::string programa = platform::RutaEjecutableActual();
    if (!ventana.Leer(Ventana, Motivo))
        return Anotar(false, "No se programó la preparación nocturna: " + Motivo);
    if (programa.empty()) {
        Motivo = "no se conoce la ruta de este programa";
        return Anotar(false, "No se programó la preparación nocturna: " + Motivo);
    }
    std::random_device azar;
    const std::string hora = VentanaPreparacion::Hora(ventana.Minuto(azar()));
    if (!platform::RegistrarTareaProgramada(kTareaPreparacion, DefinicionTareaPreparacion(programa, hora), Motivo))
        return Anotar(false, "No se programó la preparación nocturna: " + Motivo);
    return Anotar(true, "Preparación nocturna programada cada día a las " + hora);
}

bool QuitarPreparacion(std::string& Motivo) {
    if (!platform::QuitarTareaProgramada(kTareaPreparacion, Motivo))
        return Anotar(false, "No se quitó la preparación nocturna: " + Motivo);
    return true;
}

} // namespace olvado
