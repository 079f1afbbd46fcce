// How the update library's C entry points are declared: __stdcall exports on
// Windows, so that a 32-bit program of the family can declare and call them;
// default visibility on Linux.
#pragma once

#ifdef _WIN32
#define OLVADO_LLAMADA __stdcall
#define OLVADO_EXPORTA __declspec(dllexport)
#else
#define OLVADO_LLAMADA
#define OLVADO_EXPORTA __attribute__((visibility("default")))
#endif
