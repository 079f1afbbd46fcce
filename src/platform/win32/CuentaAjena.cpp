// Win32 run as another account: CreateProcessWithLogonW, LogonUserA + CreateProcessAsUserA.
#include "platform/CuentaAjena.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>

namespace olvado::platform {
namespace {

// The text followed by its NUL, empty texts included (never "none").
std::wstring Ancho(const std::string& s) {
    auto u = AUtf16(s);
    return std::wstring(u.begin(), u.end());
}

// Closes both handles of a started process, waiting first when asked.
int32_t Terminar(PROCESS_INFORMATION& pi, bool esperar) {
    Handle hilo(pi.hThread), proceso(pi.hProcess);
    if (esperar)
        WaitForSingleObject(proceso.Get(), INFINITE);
    return 0;
}

} // namespace

// The handle of a sealed file needs nothing here: its caller holds it, and
// while it lives the program's path cannot be written or replaced.
int32_t EjecutarConLogonW(const std::string& usuario, const std::string& contrasena, const std::string& dominio,
                          const std::string& lineaComandos, const std::string& carpeta, bool esperar,
                          const ArchivoSellado* /*sellado*/) {
    std::wstring u = Ancho(usuario), d = Ancho(dominio), p = Ancho(contrasena), linea = Ancho(lineaComandos),
                 dir = Ancho(carpeta);
    // cb is the record's own size: 68 bytes in a 32-bit process, 104 in a 64-bit one.
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessWithLogonW(u.c_str(), d.c_str(), p.c_str(), LOGON_WITH_PROFILE, nullptr, linea.data(),
                                 CREATE_DEFAULT_ERROR_MODE, nullptr, dir.c_str(), &si, &pi))
        return static_cast<int32_t>(GetLastError());
    return Terminar(pi, esperar);
}

int32_t EjecutarConLogonUser(const std::string& usuario, const std::string& contrasena,
                             const std::string& dominio, const std::string& lineaComandos,
                             const std::string& carpeta, bool esperar, const ArchivoSellado* /*sellado*/) {
    std::string u = AAnsi(usuario), d = AAnsi(dominio), p = AAnsi(contrasena), linea = AAnsi(lineaComandos),
                dir = AAnsi(carpeta);
    HANDLE t = nullptr;
    if (!LogonUserA(u.c_str(), d.c_str(), p.c_str(), LOGON32_LOGON_INTERACTIVE, LOGON32_PROVIDER_DEFAULT, &t))
        return static_cast<int32_t>(GetLastError());
    Handle token(t);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessAsUserA(t, nullptr, linea.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE,
                              nullptr, dir.c_str(), &si, &pi))
        return static_cast<int32_t>(GetLastError());
    return Terminar(pi, esperar);
}

} // namespace olvado::platform
