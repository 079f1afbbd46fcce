// POSIX only: the file descriptor as ScopedHandle owns it.
#pragma once

#include "base/ScopedHandle.h"

#include <unistd.h>

namespace olvado::platform {

struct FdTraits {
    using handle_type = int;
    static int Invalid() { return -1; }
    // The one place a descriptor is closed; false when close reported an error.
    static bool Close(int fd) { return ::close(fd) == 0; }
};
using ScopedFd = ScopedHandle<FdTraits>;

} // namespace olvado::platform
