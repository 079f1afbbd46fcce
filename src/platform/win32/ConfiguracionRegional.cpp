// Win32 only: regional settings of the user's default locale.
#include "platform/ConfiguracionRegional.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {
namespace {
std::string Info(LCTYPE tipo) {
    char buf[128] = {};
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, tipo, buf, sizeof buf);
    return n > 0 ? DesdeAnsi(std::string(buf, static_cast<size_t>(n - 1))) : std::string();
}
} // namespace

ConfiguracionRegional LeerConfiguracionRegional() {
    ConfiguracionRegional c;
    c.SeparadorDecimal = Info(LOCALE_SDECIMAL);
    // "0" (or nothing) as grouping: digits are not grouped.
    std::string grupos = Info(LOCALE_SGROUPING);
    c.SeparadorMillar = grupos.empty() || grupos[0] == '0' ? "" : Info(LOCALE_STHOUSAND);
    for (int i = 0; i < 12; ++i)
        c.MesesAbreviados[static_cast<size_t>(i)] = Info(LOCALE_SABBREVMONTHNAME1 + i);
    return c;
}

} // namespace olvado::platform
