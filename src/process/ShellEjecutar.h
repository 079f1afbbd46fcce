// Starting a file through the system's shell, optionally elevated and
// optionally waiting for it. Shows nothing and logs nothing.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {
namespace platform {
class ArchivoSellado;
}

// True when the shell accepted the request. Empty Parametros start the file
// with no argument text at all; Elevado uses the "runas" verb, otherwise the
// file's default verb; Esperar blocks without limit until the started process
// has ended. Paquete, when given, is Archivo held open since its digest was
// checked, and that open file is what starts.
bool ShellEjecutarArchivo(const std::string& Archivo, const std::string& Parametros, int32_t hWnd, bool Esperar,
                          bool Elevado, const platform::ArchivoSellado* Paquete = nullptr);

} // namespace olvado
