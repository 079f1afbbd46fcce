// Entry point of the updater. A silent updater must never end in
// std::terminate: Main handles its own faults, and anything that escapes it
// still ends the process normally. The run log is written here, at the end,
// on every path, also before a deferred termination signal ends the process.
#include "base/Texto.h"
#include "updater/Core.h"
#include "updater/Programa.h"
#include "updater/ProgramarPreparacion.h"
#include "updater/UpdateEngine.h"
#include "platform/Consola.h"
#include "platform/Senales.h"

#include <exception>
#include <string>
#include <vector>

namespace {

constexpr int kSalidaUso = 2;

// An option this program does not know never falls through to a full run
// that may start an installer: it is refused before anything else happens.
int Uso(const std::string& opcion) {
    olvado::platform::EscribirError("opción desconocida: " + opcion +
                                    "\nuso: olvado-updater [--preparar | --programar-preparacion HH:MM-HH:MM | "
                                    "--quitar-preparacion]\n");
    return kSalidaUso;
}

// The installation's own steps (the MSI runs them): the night task
// registered or removed; no run, no log, the outcome in the exit code.
int Tarea(const std::vector<std::string>& args) {
    std::string motivo;
    bool ok = false;
    if (args[0] == "--programar-preparacion" && args.size() == 2)
        ok = olvado::ProgramarPreparacion(args[1], motivo);
    else if (args[0] == "--quitar-preparacion" && args.size() == 1)
        ok = olvado::QuitarPreparacion(motivo);
    else
        return Uso(args[0] + (args.size() > 1 ? " " + args[1] : ""));
    if (!ok)
        olvado::platform::EscribirError(motivo + "\n");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    try {
        // Only the update engine's interactive mode reads it; the updater's
        // own road ignores every argument that is not an option.
        std::string linea;
        bool preparar = false;
        const auto args = olvado::platform::ArgumentosPrograma(argc, argv);
        if (!args.empty() && (args[0] == "--programar-preparacion" || args[0] == "--quitar-preparacion"))
            return Tarea(args);
        for (const auto& a : args) {
            if (a == "--preparar")
                preparar = true;
            else if (!a.empty() && a[0] == '-')
                return Uso(a);
            linea += (linea.empty() ? "" : " ") + a;
        }
        olvado::EstablecerLineaDeComandos(linea);
        olvado::Main(preparar);
    } catch (const std::exception& e) {
        // Main has its own error path; what still escapes it is logged here.
        olvado::RegistrarLog("Error no controlado: " + olvado::EscaparControles(e.what()));
    } catch (...) {
        olvado::RegistrarLog("Error no controlado");
    }
    olvado::LiberarServicios();
    // A termination signal deferred while the package was written: the log
    // is on disk now, and the process ends as the signal would have ended it.
    if (const int senal = olvado::platform::SenalPendiente())
        olvado::platform::TerminarConSenal(senal);
    return 0;
}
