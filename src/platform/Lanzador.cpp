// The system's launcher: the request's route picks the shell's road or the
// account's; both are each system's own (RutasLanzamiento.h).
#include "platform/Lanzador.h"

#include "platform/RutasLanzamiento.h"

namespace olvado::platform {
namespace {

class LanzadorSistema final : public ILanzador {
  public:
    int32_t Lanzar(const PeticionLanzamiento& p) override {
        if (p.ruta == RutaLanzamiento::Shell || p.ruta == RutaLanzamiento::ShellElevado)
            return LanzarConShell(p);
        return LanzarComoCuenta(p);
    }
};

} // namespace

ILanzador& ILanzador::DelSistema() {
    static LanzadorSistema l;
    return l;
}

} // namespace olvado::platform
