// Win32: SetLocalTime.
#include "platform/Reloj.h"

#include <windows.h>

namespace olvado::platform {

namespace {

class RelojWin32 : public IReloj {
public:
    FechaHoraLocal Ahora() override { return AhoraLocal(); }
    bool Establecer(const FechaHoraLocal& f) override {
        SYSTEMTIME st{};
        st.wYear = static_cast<WORD>(f.Anio), st.wMonth = static_cast<WORD>(f.Mes), st.wDay = static_cast<WORD>(f.Dia);
        st.wHour = static_cast<WORD>(f.Hora), st.wMinute = static_cast<WORD>(f.Minuto);
        st.wSecond = static_cast<WORD>(f.Segundo);
        return SetLocalTime(&st) != 0; // without SE_SYSTEMTIME_NAME: quietly false
    }
};

} // namespace

IReloj& IReloj::DelSistema() {
    static RelojWin32 reloj;
    return reloj;
}

} // namespace olvado::platform
