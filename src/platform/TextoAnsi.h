// The system's ANSI code page, where text becomes bytes: files the program
// writes, cipher codes, registry values, platform calls. Windows: CP_ACP
// through WideCharToMultiByte / MultiByteToWideChar. Linux: Windows-1252
// through iconv, so that texts made on Spanish Windows workstations read the
// same. Both: a character the code page lacks becomes "?"; every byte decodes
// to some character.
#pragma once

#include <string>
#include <string_view>

namespace olvado {

namespace platform {
std::string CodificarAnsi(std::u16string_view texto);
std::u16string DecodificarAnsi(std::string_view bytes);
} // namespace platform

// The UTF-8 text as bytes of the ANSI code page and back.
std::string AAnsi(std::string_view texto);
std::string DesdeAnsi(std::string_view bytes);

} // namespace olvado
