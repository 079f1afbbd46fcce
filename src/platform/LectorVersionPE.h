// Our own reader of the version resource (VS_VERSIONINFO) of a PE file: the
// Linux build's stand-in for version.dll, and a reference that the tests of
// both builds use. Portable code without system headers. Every read is
// bounds-checked against the file or the resource: a truncated, corrupt or
// non-PE file answers false and nothing outside it is ever read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace olvado::platform {

// Random access to the bytes of a file (or of a buffer, in the tests).
class FuenteBytes {
public:
    virtual ~FuenteBytes() = default;
    // largo bytes from posicion into destino; false unless all lie inside.
    virtual bool Leer(std::uint64_t posicion, std::size_t largo, std::string& destino) const = 0;
};

class FuenteMemoria : public FuenteBytes {
public:
    explicit FuenteMemoria(std::string_view datos) : datos_(datos) {}
    bool Leer(std::uint64_t posicion, std::size_t largo, std::string& destino) const override;

private:
    std::string_view datos_;
};

// The resource that GetFileVersionInfo loads: type RT_VERSION (16), name 1,
// the first language in the directory (a file carries one in practice).
bool LeerRecursoVersionPE(const FuenteBytes& fuente, std::string& recurso);
// The same from a file on disk (UTF-8 path); false when it cannot be read.
bool LeerRecursoVersionPE(const std::string& rutaArchivo, std::string& recurso);

// VerQueryValue over a loaded resource. subBloque: "\" (the fixed file info),
// "\VarFileInfo\Translation", "\StringFileInfo\0C0A04E4\CompanyName"...; key
// names match without regard to letter case, the first match wins, as the
// Windows query does. valor: the value's bytes (text values: UTF-16LE code
// units as stored, terminating NUL included when stored); esTexto tells which.
bool ConsultarValorVersion(std::string_view recurso, std::string_view subBloque, std::string& valor,
                           bool& esTexto);

} // namespace olvado::platform
