// Descriptions of run-time error numbers, in Spanish, and the provider's own
// texts for database errors. The error boxes of the common utilities
// (MostrarERRExt) and the registry's byte-array error take their texts here.
#pragma once

#include <cstdint>
#include <string>

namespace olvado {

// The generic text for a number the table does not hold.
inline constexpr const char* kErrorDefinidoAplicacion = "Error definido por la aplicación o el objeto";

std::string DescripcionErrorEjecucion(int32_t numero);

// One error as a data provider reports it (the Errors collection of a
// connection): its number and its own description.
struct ErrorProveedor {
    int32_t Numero = 0;
    std::string Descripcion;
};

// What the data layer passes so that a database error shows the provider's
// text: the errors of its last failed call.
class IErroresProveedor {
public:
    virtual ~IErroresProveedor() = default;
    virtual int32_t Cantidad() const = 0;
    virtual ErrorProveedor Elemento(int32_t indice) const = 0; // 0 .. Cantidad() - 1
};

// The description of `numero`: the texts of the provider's errors that carry
// that number (one per line, CR LF between them) when there are any, else the
// table's text, else the generic one.
std::string DescripcionError(int32_t numero, const IErroresProveedor* errores = nullptr);

} // namespace olvado
