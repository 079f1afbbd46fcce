// This program's own identity: company, product and version. They come from
// the program's own version resource (the Windows build carries one); a build
// without one (Linux) takes them from its configuration (BuildInfo.h).
#pragma once

#include <cstdint>
#include <string>

namespace olvado {

struct IdentidadPrograma {
    std::string Compania;
    std::string Producto;
    int32_t Major = 0;
    int32_t Minor = 0;
    int32_t Revision = 0;
};

// Read once per process: the executable does not change while it runs.
const IdentidadPrograma& ObtenerIdentidadPrograma();

} // namespace olvado
