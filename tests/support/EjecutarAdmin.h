// Runs the built olvado-admin as a separate program in a test's tree.
#pragma once

#include "support/ArbolPrueba.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::prueba {

struct ResultadoAdmin {
    int32_t codigo = -1;
    std::string salida, error; // UTF-8 with "\n" line ends
};

ResultadoAdmin EjecutarAdmin(const ArbolPrueba& arbol, const std::vector<std::string>& argumentos);

} // namespace olvado::prueba
