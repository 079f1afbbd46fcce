// The masks of the language's Format function, for the few shapes the program
// writes: numbers ("#,##0.00", "000000", "#,##0.") and dates
// ("dd-mmm-yy Hh:Nn"), with the user's regional separators and month names.
#pragma once

#include "platform/ConfiguracionRegional.h"

#include <cstdint>
#include <string>

namespace olvado {

// "0" a digit always shown, "#" a digit shown when significant, "," among the
// integer places groups thousands, "." the decimal point (kept even with no
// places after it); other characters before or after the places are copied.
// Halves round away from zero.
std::string FormatoNumero(double valor, const std::string& mascara, const platform::ConfiguracionRegional& r);

// d dd (day), m mm mmm mmmm (month; minutes right after an hour),
// yy yyyy, h hh, n nn, s ss; letter case ignored; other characters copied.
std::string FormatoFecha(int32_t anio, int32_t mes, int32_t dia, int32_t hora, int32_t minuto, int32_t segundo,
                         const std::string& mascara, const platform::ConfiguracionRegional& r);

// A number as the user types it: blanks around it, thousands separators
// anywhere, the regional decimal separator. False when it is not one.
bool LeerNumeroRegional(const std::string& texto, const platform::ConfiguracionRegional& r, double& valor);
// CStr of a currency value: up to four decimals, no grouping, the regional
// decimal separator.
std::string TextoMonedaRegional(double valor, const platform::ConfiguracionRegional& r);

} // namespace olvado
