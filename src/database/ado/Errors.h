// The Errors collection of a connection: the diagnostics of the last failed
// call, each with the ADO number that the caller compares (see NumeroAdo).
#pragma once

#include "base/ErrorOlvado.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::ado {

// ADO's numbers for the diagnostics the data layer reports.
inline constexpr int32_t adErrFallaGeneral = static_cast<int32_t>(0x80004005u); // E_FAIL
inline constexpr int32_t adErrSintaxis = static_cast<int32_t>(0x80040E14u);     // DB_E_ERRORSINCOMMAND
inline constexpr int32_t adErrIntegridad = static_cast<int32_t>(0x80040E2Fu);   // DB_E_INTEGRITYVIOLATION
inline constexpr int32_t adErrDato = static_cast<int32_t>(0x80040E07u);         // DB_E_CANTCONVERTVALUE
inline constexpr int32_t adErrTiempo = static_cast<int32_t>(0x80040E31u);       // DB_E_ABORTLIMITREACHED
inline constexpr int32_t adErrProveedorNoEncontrado = static_cast<int32_t>(0x800A0E7Au); // 3706
inline constexpr int32_t adErrObjetoCerrado = static_cast<int32_t>(0x800A0E78u);         // 3704
inline constexpr int32_t adErrSinRegistroActual = static_cast<int32_t>(0x800A0BCDu);     // 3021

struct Error {
    int32_t Number = 0;
    std::string Description;
    std::string Source;
    std::string SQLState;
    int32_t NativeError = 0;
};

// The one mapping of SQLSTATE to ADO numbers: a lost or refused connection
// (class 08) is the provider's general failure, as the ODBC bridge reports
// it, so that only a really dead connection triggers a reconnection.
int32_t NumeroAdo(const std::string& sqlState);

// What the ADO members raise, as ADO does: the number, source and text of the
// first diagnostic (the whole list stays in the connection's Errors).
class ErrorAdo : public ErrorOlvado {
public:
    using ErrorOlvado::ErrorOlvado;
};

class Errors {
public:
    int32_t Count() const { return static_cast<int32_t>(lista_.size()); }
    const Error& Item(int32_t i) const { return lista_.at(static_cast<size_t>(i)); }
    const Error& operator()(int32_t i) const { return Item(i); }
    void Clear() { lista_.clear(); }
    bool Vacio() const { return lista_.empty(); }

    // Adds a diagnostic; the number comes from NumeroAdo(sqlState).
    void Agregar(std::string sqlState, std::string descripcion, std::string origen, int32_t nativo = 0);
    // Adds a diagnostic that carries its own ADO number.
    void AgregarNumero(int32_t numero, std::string descripcion, std::string origen);
    // Raises the first diagnostic (a general failure when there is none).
    [[noreturn]] void Lanzar() const;

private:
    std::vector<Error> lista_;
};

} // namespace olvado::ado
