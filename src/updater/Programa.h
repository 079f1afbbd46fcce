// The updater's entry procedure.
#pragma once

#include <functional>

namespace olvado {

// Runs the updater once, top to bottom. The log it prepares is written by
// LiberarServicios (Core.h) after Main returns. With Preparar (the night's
// --preparar) a newer package is written and verified into the data folder
// and nothing is started; a running program of the family does not stop it,
// another updater does.
void Main(bool Preparar = false);

// Runs pasos with Main's error path armed: a fault anywhere inside (an
// exception, also from called procedures that do not handle it) logs "Error
// en el procedimiento inicial del sistema. Cerrar Objetos", releases the
// service objects and returns normally.
void ConRutaDeError(const std::function<void()>& pasos);

} // namespace olvado
