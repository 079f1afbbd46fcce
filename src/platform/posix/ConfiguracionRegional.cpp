// POSIX only: regional settings from the environment's locale.
#include "platform/ConfiguracionRegional.h"

#include <climits>
#include <langinfo.h>
#include <locale.h>

namespace olvado::platform {

ConfiguracionRegional LeerConfiguracionRegional() {
    ConfiguracionRegional c;
    locale_t loc = newlocale(LC_NUMERIC_MASK | LC_TIME_MASK, "", nullptr);
    if (!loc)
        loc = newlocale(LC_NUMERIC_MASK | LC_TIME_MASK, "C", nullptr);
    if (!loc)
        return c;
    c.SeparadorDecimal = nl_langinfo_l(RADIXCHAR, loc);
    const char* grupos = nl_langinfo_l(GROUPING, loc);
    // No grouping sizes means the locale writes no thousands separator.
    c.SeparadorMillar = grupos && *grupos && *grupos != CHAR_MAX ? nl_langinfo_l(THOUSEP, loc) : "";
    for (int i = 0; i < 12; ++i)
        c.MesesAbreviados[static_cast<size_t>(i)] = nl_langinfo_l(static_cast<nl_item>(ABMON_1 + i), loc);
    freelocale(loc);
    return c;
}

} // namespace olvado::platform
