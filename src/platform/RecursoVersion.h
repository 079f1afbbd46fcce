// A file's version resource, loaded whole and queried the way VerQueryValueA
// answers. Windows: GetFileVersionInfoSizeA, GetFileVersionInfoA and
// VerQueryValueA of version.dll. Linux: our own reader of the PE file
// (platform/LectorVersionPE.h), with text values converted to the ANSI code
// page as VerQueryValueA converts them.
// Both: Cargar answers false when the file is missing, is not a PE file or
// has no version resource; Consultar answers false for a block or value that
// is not there, and otherwise the value's bytes: binary values as stored, text
// values in the ANSI code page (possibly followed by their NUL).
#pragma once

#include <string>

namespace olvado::platform {

class RecursoVersion {
public:
    bool Cargar(const std::string& archivo);
    bool Consultar(const std::string& subBloque, std::string& valor) const;

private:
    std::string datos_;
};

} // namespace olvado::platform
