// The system clock as the start-up sequence reads and sets it, behind an
// interface so that tests can put a fake in its place. Times are instants:
// seconds since 1970-01-01 00:00 UTC, so a server and a workstation in
// different time zones compare as they should.
//
// Sincronizado: the system reports that a time service keeps the clock, which
// the program must then never step. Linux: adjtimex without STA_UNSYNC (the
// kernel's word that NTP/chrony/timesyncd disciplines it). Windows: the
// Windows Time service (W32Time) is running; whether its source answers is
// not visible from here, so a running service counts as synchronised (the
// safe side: the clock is left alone).
//
// EstablecerUtc: Windows SetSystemTime (needs the right to change the time),
// Linux clock_settime on the real-time clock. Both fail quietly without the
// right: false and nothing else happens.
#pragma once

#include "base/Servicio.h"
#include "platform/FechaHoraLocal.h"

#include <cstdint>
#include <string>

namespace olvado::platform {

class IReloj : public Servicio<IReloj> {
public:
    static IReloj& DelSistema();
    virtual ~IReloj() = default;
    virtual int64_t AhoraUtc() = 0;
    virtual bool Sincronizado() = 0;
    virtual bool EstablecerUtc(int64_t instante) = 0;
};

// The instant of a date and time given in UTC (proleptic Gregorian), and back.
int64_t InstanteDeUtc(const FechaHoraLocal& utc);
FechaHoraLocal UtcDeInstante(int64_t instante);
// The instant as this workstation's local date and time.
FechaHoraLocal LocalDeInstante(int64_t instante);
// "yyyy-mm-dd hh:mm:ss UTC", for the system's log.
std::string TextoUtc(int64_t instante);

} // namespace olvado::platform
