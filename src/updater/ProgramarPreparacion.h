// The Windows package's night preparation: a scheduled task that runs this
// very executable with --preparar as the system account every day at one
// minute of a night window, drawn once when the task is registered (the MSI
// does it at installation through --programar-preparacion, and removes it
// through --quitar-preparacion).
#pragma once

#include <string>

namespace olvado {

inline constexpr const char* kTareaPreparacion = "OlvadoUpdater Preparar";

// The task's definition: daily at Hora ("HH:MM", local time), this
// executable (Programa, its absolute path) with --preparar, as SYSTEM, at
// most one instance, stopped after an hour. Its description names the time
// and the command too, for whoever reads the task.
std::string DefinicionTareaPreparacion(const std::string& Programa, const std::string& Hora);
// Registers (or replaces) the task at a random minute of Ventana
// ("HH:MM-HH:MM"). False with Motivo when the window is not one (nothing is
// registered then) or the scheduler refuses.
bool ProgramarPreparacion(const std::string& Ventana, std::string& Motivo);
bool QuitarPreparacion(std::string& Motivo);

} // namespace olvado
