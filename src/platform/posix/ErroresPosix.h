// POSIX only: the one place where an errno becomes the program's Windows code.
#pragma once

#include <cstdint>

namespace olvado::platform {

int32_t CodigoDesdeErrno(int error);

} // namespace olvado::platform
