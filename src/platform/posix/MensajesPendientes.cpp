// POSIX only: no message queue outside the modal windows' own loops.
#include "platform/MensajesPendientes.h"

namespace olvado::platform {
namespace {

class MensajesPosix final : public IMensajesPendientes {
public:
    void Procesar() override {}
};

} // namespace

IMensajesPendientes& IMensajesPendientes::DelSistema() {
    static MensajesPosix m;
    return m;
}

} // namespace olvado::platform
