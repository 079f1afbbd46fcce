// The one error type of the project: a number, a source and a description,
// as the classes that raise numbered errors (cRegistry, cStringBuilder) report
// them. Run-time faults that Main's error path must catch derive from it too.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace olvado {

class ErrorOlvado : public std::runtime_error {
public:
    ErrorOlvado(int32_t numero, std::string origen, std::string descripcion)
        : std::runtime_error(descripcion), numero_(numero), origen_(std::move(origen)),
          descripcion_(std::move(descripcion)) {}

    int32_t Numero() const { return numero_; }
    const std::string& Origen() const { return origen_; }
    const std::string& Descripcion() const { return descripcion_; }

private:
    int32_t numero_;
    std::string origen_;
    std::string descripcion_;
};

// vbObjectError: the platform's base number for object-defined errors.
inline constexpr int32_t vbObjectError = static_cast<int32_t>(0x80040000u);

} // namespace olvado
