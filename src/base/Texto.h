// Text helpers. Text inside the program is UTF-8; wherever a rule counts
// characters (Len, Left, Mid, "the first three characters") it counts UTF-16
// code units, as the Windows program does. Text becomes bytes of the ANSI
// code page in platform/TextoAnsi.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace olvado {

// UTF-8 <-> UTF-16. Malformed UTF-8 becomes U+FFFD; a lone surrogate is
// written as the three bytes of its code point, so every code-unit sequence
// survives the round trip.
std::u16string AUtf16(std::string_view utf8);
std::string DesdeUtf16(std::u16string_view utf16);

// Length in UTF-16 code units.
int32_t Len(std::string_view texto);
// The first / last n code units (all of them when n exceeds the length; n < 0 gives "").
std::string Left(std::string_view texto, int32_t n);
std::string Right(std::string_view texto, int32_t n);
// n code units from 1-based position inicio; n < 0 means to the end.
std::string Mid(std::string_view texto, int32_t inicio, int32_t n = -1);
// 1-based position of buscado in texto from 1-based inicio, 0 when absent
// (an empty buscado answers inicio, as InStr does).
int32_t InStr(std::string_view texto, std::string_view buscado, int32_t inicio = 1);
// 1-based position of the last occurrence, 0 when absent.
int32_t InStrRev(std::string_view texto, std::string_view buscado);

// Overwrites a secret (a password) before it is released, so it does not
// linger in freed memory, and empties it.
void BorrarSecreto(std::string& s);

// The value of one hexadecimal digit of either case; -1 when it is not one.
int ValorDigitoHex(char c);
// Two upper-case hexadecimal digits per byte.
std::string BytesAHex(const void* datos, size_t n);

// Blanks (U+0020 only) removed at the ends, as Trim does.
std::string Trim(std::string_view texto);
std::string LTrim(std::string_view texto);
std::string RTrim(std::string_view texto);
// Upper / lower case of ASCII and Latin-1 letters (what the Windows-1252
// workstations write); other characters unchanged.
std::string UCase(std::string_view texto);
std::string LCase(std::string_view texto);
// Every occurrence of buscado replaced (buscado must not be empty).
std::string Replace(std::string_view texto, std::string_view buscado, std::string_view reemplazo);

// Every byte of a control character (U+0000-U+001F, U+007F, and U+0080-U+009F
// as UTF-8) written as \xNN: a name shown on a terminal or a path put in a
// line of a log must neither redraw the screen nor start a line of its own.
// The backslash itself is left alone (Windows paths are full of them).
std::string EscaparControles(std::string_view texto);

inline constexpr std::string_view vbCrLf = "\r\n";

} // namespace olvado
