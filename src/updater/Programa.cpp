#include "updater/Programa.h"

#include "updater/Core.h"

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

    // Steps 3-5: the family's mutex and the updater's own go here.

    ConRutaDeError([] {
        // Steps 7-19: objects, checks, version, engine, launch. A step that
        // ends the run returns from here: the common exit.
    });
}

} // namespace olvado
