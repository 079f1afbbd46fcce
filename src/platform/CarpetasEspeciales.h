// Special folders by CSIDL number. Windows: SHGetFolderPathA(hWnd, csidl,
// token -1, flags 0). Linux, per the program's stand-in layout:
//   5  Documents: $XDG_DOCUMENTS_DIR, else XDG_DOCUMENTS_DIR of
//      $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config), else $HOME/Documents
//   26 per-user data: $XDG_DATA_HOME, else $HOME/.local/share
//   35 common data: $OLVADO_ROOT/var/lib     ($OLVADO_ROOT defaults to "/")
//   37 system: $OLVADO_ROOT/usr/bin
//   38 programs: $OLVADO_ROOT/opt (42, the folder of 32-bit programs, the same)
// The 64-bit Windows build stands in for the 32-bit program on 64-bit Windows:
// 38 gives the folder of 32-bit programs (42), "C:\Program Files (x86)".
// Both: the path without a trailing separator, "" on any failure or for an
// unknown number; nothing is created.
#pragma once

#include <cstdint>
#include <string>

namespace olvado::platform {

inline constexpr int32_t CSIDL_PERSONAL = 5;
inline constexpr int32_t CSIDL_APPDATA = 26;
inline constexpr int32_t CSIDL_COMMON_APPDATA = 35;
inline constexpr int32_t CSIDL_SYSTEM = 37;
inline constexpr int32_t CSIDL_PROGRAM_FILES = 38;
inline constexpr int32_t CSIDL_PROGRAM_FILESX86 = 42;

std::string RutaEspecial(intptr_t hWnd, int32_t csidl);

} // namespace olvado::platform
