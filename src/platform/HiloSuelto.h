// A thread that nobody joins: work whose caller may stop waiting for it (a
// driver that does not keep its own time-outs) finishes, and is released, on
// its own.
#pragma once

#include <functional>

namespace olvado::platform {

// Starts `trabajo` on a new thread that releases itself when it ends. False
// when no thread could be made (the work has not run).
//
// Windows takes the system's own thread, not a detached std::thread: the
// MinGW thread library can hand a thread detached as it starts a null
// argument, or never start it.
bool LanzarHiloSuelto(std::function<void()> trabajo);

} // namespace olvado::platform
