// POSIX: the real-time clock through clock_settime; the kernel's NTP state
// through adjtimex.
#include "platform/Reloj.h"

#include <ctime>
#include <sys/timex.h>

namespace olvado::platform {

namespace {

class RelojPosix : public IReloj {
public:
    int64_t AhoraUtc() override { return static_cast<int64_t>(std::time(nullptr)); }
    bool Sincronizado() override {
        timex tx{}; // modes 0: read only
        const int estado = ::adjtimex(&tx);
        return estado != -1 && estado != TIME_ERROR && !(tx.status & STA_UNSYNC);
    }
    bool EstablecerUtc(int64_t instante) override {
        timespec ts{static_cast<std::time_t>(instante), 0};
        return clock_settime(CLOCK_REALTIME, &ts) == 0; // EPERM without the right: quietly false
    }
};

} // namespace

IReloj& IReloj::DelSistema() {
    static RelojPosix reloj;
    return reloj;
}

FechaHoraLocal LocalDeInstante(int64_t instante) {
    const std::time_t t = static_cast<std::time_t>(instante);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

} // namespace olvado::platform
