// The SQL dialect engine: turns values and column names into SQL fragments
// for one dialect (0 Access, 1 SQL Server, 2 MySQL; any other code, such as
// 3 for SQLite, takes each member's fallback). Stateless beyond the code,
// which starts at 1 and changes only through SintaxisSQL.
#pragma once

#include "database/ado/Valor.h"

#include <cstdint>
#include <string>

namespace olvado {

// What the engine reads from the common utilities at call time.
class IAjustesSintaxis {
public:
    virtual ~IAjustesSintaxis() = default;
    virtual std::string FormatoFechaCorta() const = 0; // default "dd-mmm-yy"
    virtual std::string FormatoFechaHora() const = 0;  // default "dd-mmm-yy Hh:Nn"
    virtual std::string SeparadorDecimal() const = 0;
    virtual std::string SeparadorMiles() const = 0;
};

class clsSqlSyntaxEngine {
public:
    // ajustes may be null: the default formats and "." / "," separators.
    explicit clsSqlSyntaxEngine(const IAjustesSintaxis* ajustes = nullptr) : ajustes_(ajustes) {}

    std::string FormatoFecha(const std::string& NombreCampo, const std::string& vAlias = {},
                             bool FechaCorta = false) const;
    std::string FormatoNumero_Ceros(const std::string& NombreCampo, const std::string& vAlias = {},
                                    int32_t Digitos = 0) const;
    std::string sIIF(const std::string& Condicion, const std::string& SalidaVerdadera,
                     const std::string& SalidaFalsa, const std::string& vAlias = {}) const;
    std::string OrdenLogico(bool PrimeroTrue = false) const;
    std::string Logico(bool Valor) const;
    std::string sTrue() const { return "1"; }
    std::string Hora(const ado::FechaHora& dFecha) const;
    std::string Fecha(const ado::FechaHora& dFecha, bool ConHora = false) const;
    std::string Strg(std::string Valor, bool PuedeSerNulo = false) const;
    std::string CampoMoneda(std::string Moneda) const;
    void SintaxisSQL(int32_t Valor) { sintaxis_ = Valor; }
    std::string NC(const std::string& ValorString) const;
    uint8_t BoolOLEDBRs(bool Valor = false) const { return Valor ? 1 : 0; }
    std::string sFalse() const { return "0"; }
    std::string sep() const { return ", "; }
    std::string StrgNulo() const { return "''"; }
    std::string Concat(int16_t NumeroArgumentos, const std::string& A1, const std::string& A2,
                       const std::string& A3 = {}, const std::string& A4 = {}, const std::string& A5 = {},
                       const std::string& A6 = {}, const std::string& A7 = {}, const std::string& A8 = {},
                       const std::string& A9 = {}) const;
    std::string LimitarRegistrosSQL(int32_t NumeroRegistros, std::string vSQL) const;

private:
    std::string ConAlias(std::string expresion, const std::string& vAlias) const;

    const IAjustesSintaxis* ajustes_;
    int32_t sintaxis_ = 1;
};

} // namespace olvado
