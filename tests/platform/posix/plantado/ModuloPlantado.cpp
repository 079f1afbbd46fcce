// A GUI module that another user planted: loading it ends the process with 99.
#include <unistd.h>

__attribute__((constructor)) static void Plantado() { _exit(99); }
