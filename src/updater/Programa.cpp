#include "updater/Programa.h"

namespace olvado {

void Main() {}

} // namespace olvado
