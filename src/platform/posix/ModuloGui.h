// The GUI module, loaded on first need: NULL without $DISPLAY, without the
// module beside the program, or when GTK cannot open the display.
#pragma once

#include "platform/posix/gui/InterfazGui.h"

namespace olvado::platform {

const OlvadoGuiTabla* ModuloGui();

} // namespace olvado::platform
