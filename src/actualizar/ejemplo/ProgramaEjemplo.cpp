// A main program of the family as small as it gets: at start it asks the
// update library whether it is behind the database and, when it is, lets
// the library talk to the user and start the package. With arguments the
// library stays silent (a program started by another one).
#include "actualizar/OlvadoActualizar.h"

#include <cstdio>

int main() {
    int32_t ejecutar = 0;
    int32_t alDia = ActualizarVersionDistribucion(&ejecutar, 0, 0, 0, 0, 0);
    if (!alDia && ejecutar)
        PrepararPaqueteActualizacion(0, nullptr, 0, nullptr, 0);
    CerrarActualizacion();
    std::printf("al dia=%d ejecutar=%d\n", alDia, ejecutar);
    return 0;
}
