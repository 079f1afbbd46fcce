// Win32 only: GetLocalTime; the user's short date and long time.
#include "platform/FechaHoraLocal.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <windows.h>

namespace olvado::platform {

FechaHoraLocal AhoraLocal() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::string TextoFechaHora(const FechaHoraLocal& f) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(f.Anio);
    st.wMonth = static_cast<WORD>(f.Mes);
    st.wDay = static_cast<WORD>(f.Dia);
    st.wHour = static_cast<WORD>(f.Hora);
    st.wMinute = static_cast<WORD>(f.Minuto);
    st.wSecond = static_cast<WORD>(f.Segundo);
    char fecha[128] = {}, hora[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, fecha, sizeof fecha);
    std::string texto = DesdeAnsi(fecha);
    if (f.Hora != 0 || f.Minuto != 0 || f.Segundo != 0) {
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, hora, sizeof hora);
        texto += " " + DesdeAnsi(hora);
    }
    return texto;
}

} // namespace olvado::platform
