// Named mutexes that carry no data: a name exists while some process holds
// it, and a holder keeps it until it ends (no handle is ever given back).
// Windows: OpenMutexA(MUTEX_ALL_ACCESS, not inheritable) to test, CreateMutexA
// (no security attributes, initial owner) to create; with daclNula the new
// mutex gets a null access-control list so that every user and session can
// open it. Linux: an exclusive flock on a lock file, held by a descriptor that
// stays open (and is not inherited) until the process ends. "Global\" names
// live in $OLVADO_ROOT/tmp/.olvado-mutex/ (mode 1777, lock files 0666), other
// names in $XDG_RUNTIME_DIR/olvado-mutex/, else /tmp/.olvado-mutex-<uid>/; the
// file is the name without "Global\", any other "\" made "_", plus ".lock".
// Folders are trusted as /tmp is: not a link, owned by root or this user,
// sticky when others may write; any other folder is refused (the name then
// neither exists nor can be created). Lock files are opened without following
// links, must be plain files, and only a file just created gets its mode.
#pragma once

#include <string>

namespace olvado::platform {

bool ExisteMutexNombrado(const std::string& nombre);
// True when this process now holds the name. On Windows opening an existing
// mutex counts; on Linux a name another process holds cannot be taken.
bool CrearMutexNombrado(const std::string& nombre, bool daclNula);

} // namespace olvado::platform
