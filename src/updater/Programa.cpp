#include "updater/Programa.h"

#include "updater/Core.h"
#include "updater/MuteX.h"

namespace olvado {

void ConRutaDeError(const std::function<void()>& pasos) {
    try {
        pasos();
    } catch (...) {
        RegistrarLog("Error en el procedimiento inicial del sistema. Cerrar Objetos");
        CerrarObjetos();
    }
}

void Main() {
    if (!PrepararLog("Olvado_UpdaterLog.txt"))
        return;
    RegistrarLog("Iniciando OlvadoUpdater");
    RegistrarLog("Log Preparado");

    // A running program of the family (under either form of its name) must
    // not have its files replaced under it.
    if (MutexExiste("", true)) {
        RegistrarLog("Se detectó que alguno de los programas está ejecutandose. Se abortará la operación.");
        return;
    }
    // Another updater holds its mutex: it does the work; leave no trace.
    if (!CrearMutex("Updater", true, true))
        return;
    RegistrarLog("Mutex Creado");

    ConRutaDeError([] {
        // A step that ends the run returns from here: the common exit.
        if (!CrearObjetos())
            return;
        RegistrarLog("Objetos Listos");

        // Steps 9-16: checks, credentials, version, engine, package.

        // The database is closed before the installer runs.
        RegistrarLog("Cerrar Objetos");
        CerrarObjetos();

        // Steps 18-19: the launch.
    });
}

} // namespace olvado
