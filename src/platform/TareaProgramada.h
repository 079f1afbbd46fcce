// The system's task scheduler: a task that runs a program as the system
// account on a schedule, registered from its XML definition (the Task
// Scheduler's schema) and removed by its name, in the scheduler's root folder.
// Windows: the Task Scheduler's COM interface (ITaskService). Linux: not
// supported (the Debian package brings a systemd timer instead); both
// answer false with Motivo "no admitido en este sistema".
#pragma once

#include <string>

namespace olvado::platform {

// Creates the task Nombre, or replaces the one of that name. False with
// Motivo (the scheduler's own text) when it cannot.
bool RegistrarTareaProgramada(const std::string& Nombre, const std::string& Xml, std::string& Motivo);
// Removes the task Nombre; true also when there was none.
bool QuitarTareaProgramada(const std::string& Nombre, std::string& Motivo);

} // namespace olvado::platform
