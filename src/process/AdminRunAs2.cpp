#include "process/AdminRunAs2.h"

#include "base/Texto.h"
#include "process/EsWinSuperior.h"
#include "process/Lanzamiento.h"

namespace olvado {
namespace {

// The family hands a command line over; the request takes its program and
// arguments apart, and only the Windows side joins them again.
int32_t ComoUsuario(bool ConFicha, const std::string& User, const std::string& Password, const std::string& Domain,
                    const std::string& CommandLine, const std::string& WorkingDirectory, bool Esperar,
                    const platform::ArchivoSellado* Paquete) {
    auto p = PeticionCuenta(ConFicha, User, Password, Domain, "", "", WorkingDirectory, Esperar, Paquete);
    auto partes = PartirParametros(CommandLine);
    if (!partes.empty()) {
        p.archivo = partes[0];
        p.argumentos.assign(partes.begin() + 1, partes.end());
    }
    int32_t codigo = Lanzar(p);
    BorrarSecreto(p.contrasena);
    return codigo;
}

} // namespace

int32_t EjecutarComoUsuario(const std::string& User, const std::string& Password, const std::string& Domain,
                            const std::string& CommandLine, const std::string& WorkingDirectory, bool Esperar,
                            const platform::ArchivoSellado* Paquete) {
    // Asked afresh at every launch; tests answer through the system version service.
    if (EsWin2K_Superior())
        return EjecutarComoUsuario_LogonW(User, Password, Domain, CommandLine, WorkingDirectory, Esperar, Paquete);
    return EjecutarComoUsuario_LogonUser(User, Password, Domain, CommandLine, WorkingDirectory, Esperar, Paquete);
}

int32_t EjecutarComoUsuario_LogonW(const std::string& User, const std::string& Password,
                                   const std::string& Domain, const std::string& CommandLine,
                                   const std::string& WorkingDirectory, bool Esperar,
                                   const platform::ArchivoSellado* Paquete) {
    return ComoUsuario(false, User, Password, Domain, CommandLine, WorkingDirectory, Esperar, Paquete);
}

int32_t EjecutarComoUsuario_LogonUser(const std::string& User, const std::string& Password,
                                      const std::string& Domain, const std::string& CommandLine,
                                      const std::string& WorkingDirectory, bool Esperar,
                                      const platform::ArchivoSellado* Paquete) {
    return ComoUsuario(true, User, Password, Domain, CommandLine, WorkingDirectory, Esperar, Paquete);
}

} // namespace olvado
