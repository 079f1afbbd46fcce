// Entry point of the updater. A silent updater must never end in
// std::terminate: Main handles its own faults, and anything that escapes it
// still ends the process normally. The run log is written here, at the end,
// on every path.
#include "updater/Core.h"
#include "updater/Programa.h"

int main() {
    try {
        olvado::Main();
    } catch (...) {
    }
    olvado::LiberarServicios();
    return 0;
}
