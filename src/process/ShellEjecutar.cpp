#include "process/ShellEjecutar.h"

#include "process/Lanzamiento.h"

namespace olvado {

bool ShellEjecutarArchivo(const std::string& Archivo, const std::string& Parametros, int32_t hWnd, bool Esperar,
                          bool Elevado, const platform::ArchivoSellado* Paquete) {
    try {
        return Lanzar(PeticionShell(Archivo, Parametros, hWnd, Esperar, Elevado, Paquete)) == 0;
    } catch (...) {
        return false; // a fault ends the launch without waiting
    }
}

} // namespace olvado
