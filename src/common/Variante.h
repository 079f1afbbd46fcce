// A value of no fixed type, as the registry and the settings functions pass
// it: Empty, a 16- or 32-bit integer, a floating-point number, a Boolean, a
// text (UTF-8) or a byte array.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace olvado {

using Variante = std::variant<std::monostate, int16_t, int32_t, double, bool, std::string, std::vector<uint8_t>>;

// CStr: Empty gives "", numbers their decimal text, Booleans "True"/"False",
// bytes their characters as ANSI.
std::string VarATexto(const Variante& v);
// IsNumeric: numbers, Booleans and Empty are; a text is when it reads whole as
// a decimal number (blanks around it allowed).
bool VarEsNumerico(const Variante& v);
// CLng of a numeric value (halves round to even, Booleans give -1 or 0);
// callers check VarEsNumerico first (anything else gives 0).
int32_t VarALong(const Variante& v);

} // namespace olvado
