// Portable code only: the civil calendar of instants (days from 1970-01-01).
#include "platform/Reloj.h"

#include <cstdio>

namespace olvado::platform {
namespace {

int64_t DiasDesdeCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

int64_t Piso(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

} // namespace

int64_t InstanteDeUtc(const FechaHoraLocal& f) {
    return DiasDesdeCivil(f.Anio, f.Mes, f.Dia) * 86400 + f.Hora * 3600 + f.Minuto * 60 + f.Segundo;
}

FechaHoraLocal UtcDeInstante(int64_t instante) {
    const int64_t dias = Piso(instante, 86400) + 719468, segundos = instante - Piso(instante, 86400) * 86400;
    const int64_t era = (dias >= 0 ? dias : dias - 146096) / 146097;
    const int64_t doe = dias - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2);
    return {static_cast<int32_t>(y), static_cast<int32_t>(m), static_cast<int32_t>(d),
            static_cast<int32_t>(segundos / 3600), static_cast<int32_t>(segundos / 60 % 60),
            static_cast<int32_t>(segundos % 60)};
}

std::string TextoUtc(int64_t instante) {
    const FechaHoraLocal f = UtcDeInstante(instante);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d UTC", f.Anio, f.Mes, f.Dia, f.Hora, f.Minuto,
                  f.Segundo);
    return buf;
}

} // namespace olvado::platform
