#include "process/ShellEjecutar.h"

#include "platform/Shell.h"

namespace olvado {

bool ShellEjecutarArchivo(const std::string& Archivo, const std::string& Parametros, int32_t hWnd, bool Esperar,
                          bool Elevado, const platform::ArchivoSellado* Paquete) {
    try {
        return platform::EjecutarConShell(Archivo, Parametros, hWnd, Esperar, Elevado, Paquete);
    } catch (...) {
        return false; // a fault ends the launch without waiting
    }
}

} // namespace olvado
