/* The update library (OlvadoActualizar.dll, libolvado-actualizar.so): the
 * update engine's interactive mode for the family's main programs, in their
 * own process. Booleans are 32-bit, -1 true and 0 false; texts are in the
 * ANSI code page. The first call opens the shared database through the
 * connection store (and the list when it holds several entries);
 * CerrarActualizacion closes it and writes the library's run log. */
#pragma once

#include "platform/Exportacion.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* True: nothing to install. False with *Ejecutar: a newer package must be
 * prepared. False without it: the program is newer than the package (the
 * program says so unless its command line is not empty). With VersionExterna
 * the given version is compared, otherwise the calling program's own. */
OLVADO_EXPORTA int32_t OLVADO_LLAMADA ActualizarVersionDistribucion(int32_t* Ejecutar, int32_t ModoActualizador,
                                                                    int32_t VersionExterna, int32_t Major,
                                                                    int32_t Minor, int32_t Revision);
/* Interactive mode (ModoActualizador 0): asks, waits for the family's
 * programs to close, verifies and starts the package, leaving the pending
 * mark. Updater mode: the verified package and its switches into the
 * caller's buffers (cut to their size; empty when there is none). */
OLVADO_EXPORTA void OLVADO_LLAMADA PrepararPaqueteActualizacion(int32_t ModoActualizador, char* Archivo,
                                                                int32_t TamanoArchivo, char* Parametros,
                                                                int32_t TamanoParametros);
OLVADO_EXPORTA void OLVADO_LLAMADA CerrarActualizacion(void);

#ifdef __cplusplus
}
#endif
