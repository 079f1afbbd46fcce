// The local date and time, and its text as the program writes it in logs:
// date, one blank, time; midnight exactly shows the date alone (the rule of
// the default date-to-text conversion). Windows: the user's regional settings
// (GetDateFormatA DATE_SHORTDATE, GetTimeFormatA with the long-time format).
// Linux: a fixed dd/mm/yyyy hh:mm:ss rendering.
#pragma once

#include <cstdint>
#include <string>

namespace olvado::platform {

struct FechaHoraLocal {
    int32_t Anio = 1899, Mes = 12, Dia = 30, Hora = 0, Minuto = 0, Segundo = 0;
};

FechaHoraLocal AhoraLocal();
std::string TextoFechaHora(const FechaHoraLocal& f);

} // namespace olvado::platform
