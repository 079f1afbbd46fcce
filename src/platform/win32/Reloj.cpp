// Win32: SetSystemTime; the Windows Time service's state from the service
// control manager.
#include "platform/Reloj.h"

#include <windows.h>

namespace olvado::platform {

namespace {

// 100 ns ticks between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpocaUnix = 116444736000000000LL;

SYSTEMTIME SistemaDeFecha(const FechaHoraLocal& f) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(f.Anio), st.wMonth = static_cast<WORD>(f.Mes), st.wDay = static_cast<WORD>(f.Dia);
    st.wHour = static_cast<WORD>(f.Hora), st.wMinute = static_cast<WORD>(f.Minuto);
    st.wSecond = static_cast<WORD>(f.Segundo);
    return st;
}

class RelojWin32 : public IReloj {
public:
    int64_t AhoraUtc() override {
        FILETIME ft{};
        GetSystemTimeAsFileTime(&ft);
        const int64_t ticks = (static_cast<int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
        return (ticks - kEpocaUnix) / 10000000;
    }
    bool Sincronizado() override {
        SC_HANDLE scm = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
        if (!scm)
            return false;
        SC_HANDLE servicio = OpenServiceA(scm, "W32Time", SERVICE_QUERY_STATUS);
        SERVICE_STATUS estado{};
        const bool activo = servicio && QueryServiceStatus(servicio, &estado) &&
                            estado.dwCurrentState == SERVICE_RUNNING;
        if (servicio)
            CloseServiceHandle(servicio);
        CloseServiceHandle(scm);
        return activo;
    }
    bool EstablecerUtc(int64_t instante) override {
        const FechaHoraLocal f = UtcDeInstante(instante);
        if (f.Anio < 1601 || f.Anio > 30827)
            return false;
        SYSTEMTIME st = SistemaDeFecha(f);
        return SetSystemTime(&st) != 0; // without SE_SYSTEMTIME_NAME: quietly false
    }
};

} // namespace

IReloj& IReloj::DelSistema() {
    static RelojWin32 reloj;
    return reloj;
}

FechaHoraLocal LocalDeInstante(int64_t instante) {
    SYSTEMTIME utc = SistemaDeFecha(UtcDeInstante(instante)), local{};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return UtcDeInstante(instante);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

} // namespace olvado::platform
