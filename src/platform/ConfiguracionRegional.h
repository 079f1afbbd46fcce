// The user's regional settings that number and date masks need. Windows:
// GetLocaleInfoA of the user's default locale (LOCALE_SDECIMAL,
// LOCALE_STHOUSAND, LOCALE_SGROUPING, LOCALE_SABBREVMONTHNAME1..12). Linux:
// the locale that LC_ALL / LC_NUMERIC / LC_TIME / LANG name (C when none).
// Texts are UTF-8.
#pragma once

#include <array>
#include <string>

namespace olvado::platform {

struct ConfiguracionRegional {
    std::string SeparadorDecimal = ".";
    std::string SeparadorMillar; // "" when the locale does not group digits
    std::array<std::string, 12> MesesAbreviados;
};

ConfiguracionRegional LeerConfiguracionRegional();

} // namespace olvado::platform
