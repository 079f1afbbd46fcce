#include "process/ShellEjecutar.h"

#include "platform/Shell.h"

namespace olvado {

bool ShellEjecutarArchivo(const std::string& Archivo, const std::string& Parametros, int32_t hWnd, bool Esperar,
                          bool Elevado, const platform::ArchivoSellado* Paquete) {
    return platform::EjecutarConShell(Archivo, Parametros, hWnd, Esperar, Elevado, Paquete);
}

} // namespace olvado
