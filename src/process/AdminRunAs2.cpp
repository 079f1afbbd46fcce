#include "process/AdminRunAs2.h"

#include "platform/CuentaAjena.h"
#include "process/EsWinSuperior.h"

namespace olvado {

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
    return platform::EjecutarConLogonW(User, Password, Domain, CommandLine, WorkingDirectory, Esperar, Paquete);
}

int32_t EjecutarComoUsuario_LogonUser(const std::string& User, const std::string& Password,
                                      const std::string& Domain, const std::string& CommandLine,
                                      const std::string& WorkingDirectory, bool Esperar,
                                      const platform::ArchivoSellado* Paquete) {
    return platform::EjecutarConLogonUser(User, Password, Domain, CommandLine, WorkingDirectory, Esperar,
                                          Paquete);
}

} // namespace olvado
