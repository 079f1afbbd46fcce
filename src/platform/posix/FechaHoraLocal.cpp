// POSIX only: local time through localtime_r; a fixed rendering of it.
#include "platform/FechaHoraLocal.h"

#include <cstdio>
#include <ctime>

namespace olvado::platform {

FechaHoraLocal AhoraLocal() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// No regional settings to follow: dd/mm/yyyy hh:mm:ss, the Spanish short date
// and long time.
std::string TextoFechaHora(const FechaHoraLocal& f) {
    char buf[64];
    if (f.Hora == 0 && f.Minuto == 0 && f.Segundo == 0)
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", f.Dia, f.Mes, f.Anio);
    else
        std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d", f.Dia, f.Mes, f.Anio, f.Hora, f.Minuto,
                      f.Segundo);
    return buf;
}

} // namespace olvado::platform
