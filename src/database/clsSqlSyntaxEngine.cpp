#include "database/clsSqlSyntaxEngine.h"

#include "base/Texto.h"

namespace olvado {

namespace {

std::string DosDigitos(int32_t n) { return Right("00" + std::to_string(n), 2); }

} // namespace

std::string clsSqlSyntaxEngine::ConAlias(std::string expresion, const std::string& vAlias) const {
    if (!vAlias.empty())
        expresion += " AS " + vAlias;
    return expresion;
}

std::string clsSqlSyntaxEngine::FormatoFecha(const std::string& NombreCampo, const std::string& vAlias,
                                             bool FechaCorta) const {
    std::string e;
    switch (sintaxis_) {
    case 0: {
        std::string formato = FechaCorta ? (ajustes_ ? ajustes_->FormatoFechaCorta() : "dd-mmm-yy")
                                         : (ajustes_ ? ajustes_->FormatoFechaHora() : "dd-mmm-yy Hh:Nn");
        e = " Format( " + NombreCampo + sep() + Strg(formato, true) + " )";
        break;
    }
    case 1:
        e = FechaCorta ? " CONVERT( char, " + NombreCampo + ", 3 )"
                       : " LEFT( CONVERT( char, " + NombreCampo + ", 113 ), 17 )";
        break;
    default:
        e = " " + NombreCampo;
    }
    return ConAlias(e, vAlias);
}

std::string clsSqlSyntaxEngine::FormatoNumero_Ceros(const std::string& NombreCampo, const std::string& vAlias,
                                                    int32_t Digitos) const {
    std::string z = Strg(std::string(static_cast<size_t>(std::max(Digitos, 0)), '0'), true);
    std::string e;
    switch (sintaxis_) {
    case 0: e = " Format( " + NombreCampo + ", " + z + " )"; break;
    case 1: e = " LTRIM(STR(" + NombreCampo + "))"; break;
    case 2: e = " CONCAT(" + z + "," + NombreCampo + ")"; break;
    default: e = " " + NombreCampo;
    }
    return ConAlias(e, vAlias);
}

std::string clsSqlSyntaxEngine::sIIF(const std::string& Condicion, const std::string& SalidaVerdadera,
                                     const std::string& SalidaFalsa, const std::string& vAlias) const {
    std::string e = sintaxis_ == 0
                        ? " iif( " + Condicion + ", " + SalidaVerdadera + ", " + SalidaFalsa + " )"
                        : " CASE WHEN " + Condicion + " THEN " + SalidaVerdadera + " ELSE " + SalidaFalsa + " END";
    return ConAlias(e, vAlias);
}

std::string clsSqlSyntaxEngine::OrdenLogico(bool PrimeroTrue) const { return PrimeroTrue ? " DESC" : " ASC"; }

std::string clsSqlSyntaxEngine::Logico(bool Valor) const { return Valor ? sTrue() : "0"; }

std::string clsSqlSyntaxEngine::Hora(const ado::FechaHora& f) const {
    return "'" + std::to_string(f.hora) + ":" + std::to_string(f.minuto) + ":" + std::to_string(f.segundo) + "'";
}

std::string clsSqlSyntaxEngine::Fecha(const ado::FechaHora& f, bool ConHora) const {
    std::string anio = std::to_string(f.anio), mm = DosDigitos(f.mes), dd = DosDigitos(f.dia);
    std::string hns = std::to_string(f.hora) + ":" + std::to_string(f.minuto) + ":" + std::to_string(f.segundo);
    switch (sintaxis_) {
    case 0:
        return "#" + mm + "-" + dd + "-" + anio + (ConHora ? " " + hns : "") + "#";
    case 1:
        return "'" + anio + mm + dd + (ConHora ? " " + hns : "") + "'";
    default:
        return "'" + anio + "-" + mm + "-" + dd +
               (ConHora ? " " + DosDigitos(f.hora) + ":" + DosDigitos(f.minuto) + ":" + DosDigitos(f.segundo)
                        : " 00:00:00") +
               "'";
    }
}

std::string clsSqlSyntaxEngine::Strg(std::string Valor, bool PuedeSerNulo) const {
    if (PuedeSerNulo && Trim(Valor).empty())
        return "Null";
    if (sintaxis_ == 2) {
        Valor = Replace(Valor, "'", "\\'");
        Valor = Replace(Valor, "\"", "\\\"");
    } else {
        Valor = Replace(Valor, "'", "_");
    }
    return "'" + Valor + "'";
}

std::string clsSqlSyntaxEngine::CampoMoneda(std::string Moneda) const {
    std::string miles = ajustes_ ? ajustes_->SeparadorMiles() : ",";
    std::string decimal = ajustes_ ? ajustes_->SeparadorDecimal() : ".";
    if (!miles.empty())
        Moneda = Replace(Moneda, miles, "");
    if (!decimal.empty())
        Moneda = Replace(Moneda, decimal, ".");
    return Trim(Moneda);
}

std::string clsSqlSyntaxEngine::NC(const std::string& nombre) const {
    switch (sintaxis_) {
    case 0:
    case 1:
        return "[" + Replace(Replace(nombre, "[", ""), "]", "") + "]";
    case 2:
        return "`" + Replace(nombre, "`", "") + "`";
    default:
        return nombre;
    }
}

std::string clsSqlSyntaxEngine::Concat(int16_t n, const std::string& A1, const std::string& A2,
                                       const std::string& A3, const std::string& A4, const std::string& A5,
                                       const std::string& A6, const std::string& A7, const std::string& A8,
                                       const std::string& A9) const {
    if (n <= 0)
        return StrgNulo();
    if (n == 1)
        return A1;
    const std::string* resto[] = {&A3, &A4, &A5, &A6, &A7, &A8, &A9};
    std::string op, abre, cierra = ")";
    switch (sintaxis_) {
    case 0: op = " & ", abre = "("; break;
    case 1: op = " + ", abre = "("; break;
    case 2: op = ", ", abre = "CONCAT("; break;
    default: return {};
    }
    std::string e = abre + A1 + op + A2;
    for (int k = 3; k <= 9 && k <= n; ++k)
        e += op + *resto[k - 3];
    return e + cierra;
}

std::string clsSqlSyntaxEngine::LimitarRegistrosSQL(int32_t NumeroRegistros, std::string vSQL) const {
    std::string copia = Trim(vSQL);
    bool puntoYComa = !vSQL.empty() && vSQL.back() == ';';
    if (puntoYComa)
        copia = Left(copia, Len(copia) - 1);
    if (UCase(Left(vSQL, 6)) == "SELECT" && InStr(UCase(vSQL), "SELECT TOP") == 0)
        copia = "SELECT TOP " + std::to_string(NumeroRegistros) + Mid(copia, 7);
    if (puntoYComa)
        copia += ";";
    return copia;
}

} // namespace olvado
