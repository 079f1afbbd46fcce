// Win32 run as another account: CreateProcessWithLogonW, LogonUserA + CreateProcessAsUserA.
#include "base/Texto.h"
#include "platform/RutasLanzamiento.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/Lanzar.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>

namespace olvado::platform {
namespace {

// The text followed by its NUL, empty texts included (never "none").
std::wstring Ancho(const std::string& s) {
    auto u = AUtf16(s);
    return std::wstring(u.begin(), u.end());
}

// The normal priority class named: without it a caller at idle or below
// normal priority would hand its own down to the account's program.
constexpr DWORD kCreacion = CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS;

// Closes both handles of a started process, waiting first when asked.
int32_t Terminar(PROCESS_INFORMATION& pi, bool esperar) {
    Handle hilo(pi.hThread), proceso(pi.hProcess);
    if (esperar)
        WaitForSingleObject(proceso.Get(), INFINITE);
    return 0;
}

// The program in double quotes, a blank, the arguments.
std::string LineaComandos(const PeticionLanzamiento& p) {
    return Trim("\"" + p.archivo + "\" " + LineaArgumentos(p.argumentos));
}

// The handle of a sealed file needs nothing here: its caller holds it, and
// while it lives the program's path cannot be written or replaced.
int32_t EjecutarConLogonW(const PeticionLanzamiento& r) {
    std::wstring u = Ancho(r.usuario), d = Ancho(r.dominio), p = Ancho(r.contrasena),
                 linea = Ancho(LineaComandos(r)), dir = Ancho(r.carpeta);
    // cb is the record's own size: 68 bytes in a 32-bit process, 104 in a 64-bit one.
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessWithLogonW(u.c_str(), d.c_str(), p.c_str(), LOGON_WITH_PROFILE, nullptr, linea.data(),
                                 kCreacion, nullptr, dir.c_str(), &si, &pi))
        return static_cast<int32_t>(GetLastError());
    return Terminar(pi, r.esperar);
}

int32_t EjecutarConLogonUser(const PeticionLanzamiento& r) {
    std::string u = AAnsi(r.usuario), d = AAnsi(r.dominio), p = AAnsi(r.contrasena),
                linea = AAnsi(LineaComandos(r)), dir = AAnsi(r.carpeta);
    HANDLE t = nullptr;
    if (!LogonUserA(u.c_str(), d.c_str(), p.c_str(), LOGON32_LOGON_INTERACTIVE, LOGON32_PROVIDER_DEFAULT, &t))
        return static_cast<int32_t>(GetLastError());
    Handle token(t);
    // The account's own environment, never ours (a null block would hand
    // the caller's to the account's program); none to be had, no start.
    void* b = nullptr;
    if (!CreateEnvironmentBlock(&b, t, FALSE))
        return static_cast<int32_t>(GetLastError());
    const BloqueEntorno bloque(b);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessAsUserA(t, nullptr, linea.data(), nullptr, nullptr, FALSE, kCreacion | CREATE_UNICODE_ENVIRONMENT,
                              bloque.Get(), dir.c_str(), &si, &pi))
        return static_cast<int32_t>(GetLastError());
    return Terminar(pi, r.esperar);
}

} // namespace

int32_t LanzarComoCuenta(const PeticionLanzamiento& p) {
    return p.ruta == RutaLanzamiento::CuentaConFicha ? EjecutarConLogonUser(p) : EjecutarConLogonW(p);
}

} // namespace olvado::platform
