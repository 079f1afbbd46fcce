// POSIX only: the file descriptor as ScopedHandle owns it.
#pragma once

#include "base/ScopedHandle.h"

#include <unistd.h>

namespace olvado::platform {

struct FdTraits {
    using handle_type = int;
    static int Invalid() { return -1; }
    static void Close(int fd) { ::close(fd); }
};
using ScopedFd = ScopedHandle<FdTraits>;

} // namespace olvado::platform
