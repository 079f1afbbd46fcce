// The updater's entry procedure.
#pragma once

namespace olvado {

// Runs the updater once, top to bottom.
void Main();

} // namespace olvado
