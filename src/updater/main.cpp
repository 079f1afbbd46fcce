// Entry point of the updater. A silent updater must never end in
// std::terminate: Main handles its own faults, and anything that escapes it
// still ends the process normally.
#include "updater/Programa.h"

int main() {
    try {
        olvado::Main();
    } catch (...) {
    }
    return 0;
}
