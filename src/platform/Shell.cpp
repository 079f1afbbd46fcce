// System-independent part of the shell launch: the replaceable instance.
#include "platform/Shell.h"

namespace olvado::platform {

IShell& ShellSistema(); // defined per system

namespace {
IShell* actual = nullptr;
}

IShell& ShellActual() { return actual ? *actual : ShellSistema(); }

void EstablecerShell(IShell* otro) { actual = otro; }

} // namespace olvado::platform
