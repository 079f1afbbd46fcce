#include "process/AdminRunAs2.h"

#include "platform/CuentaAjena.h"

namespace olvado {
namespace {

// Every system this program runs on is NT 6 or later (its manifest says so);
// the Linux stand-in reports NT 10.0.
bool Win2KSuperiorSistema() { return true; }

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
