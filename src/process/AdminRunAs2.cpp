#include "process/AdminRunAs2.h"

#include "platform/CuentaAjena.h"
#include "process/EsWinSuperior.h"

namespace olvado {
namespace {

// The system's own answer; tests put a fake question in its place.
bool Win2KSuperiorSistema() { return EsWin2K_Superior(); }

PreguntaVersion pregunta = nullptr;

} // namespace

void EstablecerPreguntaWin2K(PreguntaVersion p) { pregunta = p; }

bool PreguntarWin2K_Superior() { return pregunta ? pregunta() : Win2KSuperiorSistema(); }

int32_t EjecutarComoUsuario(const std::string& User, const std::string& Password, const std::string& Domain,
                            const std::string& CommandLine, const std::string& WorkingDirectory, bool Esperar,
                            const platform::ArchivoSellado* Paquete) {
    if (PreguntarWin2K_Superior())
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
