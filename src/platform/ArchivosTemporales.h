// Temporary folder and names. Windows: GetTempPathA and GetTempFileNameA
// (unique number 0). Linux: $TMPDIR, else "/tmp/"; the name is the prefix's
// first three characters + four upper-case hexadecimal digits + ".tmp", and
// the file is created exclusively (O_EXCL), trying the next number on a clash.
// Both: the folder ends with its separator; "" / false on failure.
#pragma once

#include <string>

namespace olvado::platform {

std::string CarpetaTemporal();
// Creates the empty file in carpeta and answers its full path.
bool CrearArchivoTemporal(const std::string& carpeta, const std::string& prefijo, std::string& resultado);

} // namespace olvado::platform
