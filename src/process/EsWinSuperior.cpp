#include "process/EsWinSuperior.h"

#include "process/WinVersion.h"

namespace olvado {

bool EsWin2K_Superior() { return WinVersion().IsWin2000Plus(); }

bool EsWinXP_Superior() { return WinVersion().IsWinXPPlus(); }

} // namespace olvado
