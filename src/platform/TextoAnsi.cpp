#include "platform/TextoAnsi.h"

#include "base/Texto.h"

namespace olvado {

std::string AAnsi(std::string_view texto) { return platform::CodificarAnsi(AUtf16(texto)); }

std::string DesdeAnsi(std::string_view bytes) { return DesdeUtf16(platform::DecodificarAnsi(bytes)); }

} // namespace olvado
