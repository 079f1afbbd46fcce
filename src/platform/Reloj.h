// The system clock as the start-up sequence reads and sets it, behind an
// interface so that tests can put a fake in its place. Windows: SetLocalTime
// (which needs the right to change the time). Linux: clock_settime on the
// real-time clock. Both fail quietly without the right: Establecer answers
// false and nothing else happens.
#pragma once

#include "base/Servicio.h"
#include "platform/FechaHoraLocal.h"

namespace olvado::platform {

class IReloj : public Servicio<IReloj> {
public:
    static IReloj& DelSistema();
    virtual ~IReloj() = default;
    virtual FechaHoraLocal Ahora() = 0;
    // Sets the local date and time; false when the system refused.
    virtual bool Establecer(const FechaHoraLocal& f) = 0;
};

} // namespace olvado::platform
