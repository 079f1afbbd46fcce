// POSIX: the real-time clock through clock_settime.
#include "platform/Reloj.h"

#include <ctime>

namespace olvado::platform {

namespace {

class RelojPosix : public IReloj {
public:
    FechaHoraLocal Ahora() override { return AhoraLocal(); }
    bool Establecer(const FechaHoraLocal& f) override {
        std::tm t{};
        t.tm_year = f.Anio - 1900, t.tm_mon = f.Mes - 1, t.tm_mday = f.Dia;
        t.tm_hour = f.Hora, t.tm_min = f.Minuto, t.tm_sec = f.Segundo;
        t.tm_isdst = -1;
        std::time_t s = std::mktime(&t);
        if (s == static_cast<std::time_t>(-1))
            return false;
        timespec ts{s, 0};
        return clock_settime(CLOCK_REALTIME, &ts) == 0; // EPERM without the right: quietly false
    }
};

} // namespace

IReloj& IReloj::DelSistema() {
    static RelojPosix reloj;
    return reloj;
}

} // namespace olvado::platform
