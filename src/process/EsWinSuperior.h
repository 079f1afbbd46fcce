// The two version questions the launch asks.
#pragma once

namespace olvado {

// NT family, version 5 (Windows 2000) or later.
bool EsWin2K_Superior();
// NT family, version 5.1 (Windows XP) or later.
bool EsWinXP_Superior();

} // namespace olvado
