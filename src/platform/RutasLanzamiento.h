// The two routes a launch request takes, each system's own: the shell's
// (LanzadorShell.cpp) and another account's (CuentaAjena.cpp). Only
// ILanzador::DelSistema (Lanzador.cpp) chooses between them; everything else
// launches through ILanzador.
#pragma once

#include "platform/Lanzador.h"

#include <cstdint>

namespace olvado::platform {

// Shell and ShellElevado: the file as the shell starts it.
int32_t LanzarConShell(const PeticionLanzamiento& p);
// The account routes: the program under the request's account.
int32_t LanzarComoCuenta(const PeticionLanzamiento& p);

} // namespace olvado::platform
