// Win32 child processes: CreateProcessW with an explicit environment block.
#include "platform/ProcesoHijo.h"

#include "base/Texto.h"
#include "platform/win32/Lanzar.h"
#include "platform/win32/RasgosManejadores.h"

#include <map>
#include <utility>
#include <windows.h>

namespace olvado::platform {
namespace {

std::wstring Ancho(const std::string& s) {
    auto u = AUtf16(s);
    return std::wstring(u.begin(), u.end());
}

// Windows keeps environment names case-insensitively.
struct MenorSinMayusculas {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    }
};

// A file the child inherits as one of its standard handles.
ScopedHandle<ArchivoTraits> ArchivoHeredable(const std::string& ruta) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return ScopedHandle<ArchivoTraits>(CreateFileW(Ancho(ruta).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  &sa, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

ProcesoHijo::~ProcesoHijo() {
    if (!terminado_)
        Terminar();
    Handle proceso(static_cast<HANDLE>(handle_));
}

bool ProcesoHijo::Iniciar(const std::vector<std::string>& argumentos,
                          const std::vector<std::pair<std::string, std::string>>& entorno,
                          const std::string& carpeta) {
    if (argumentos.empty() || !terminado_)
        return false;
    std::map<std::wstring, std::wstring, MenorSinMayusculas> vars;
    if (wchar_t* bloque = GetEnvironmentStringsW()) {
        for (wchar_t* p = bloque; *p; p += wcslen(p) + 1) {
            std::wstring e(p);
            size_t igual = e.find(L'=', 1); // "=C:=C:\..." entries start with '='
            if (igual != std::wstring::npos)
                vars[e.substr(0, igual)] = e.substr(igual + 1);
        }
        FreeEnvironmentStringsW(bloque);
    }
    for (const auto& [n, v] : entorno) {
        if (v.empty())
            vars.erase(Ancho(n));
        else
            vars[Ancho(n)] = Ancho(v);
    }
    std::wstring bloque;
    for (const auto& [n, v] : vars) {
        bloque += n + L"=" + v;
        bloque.push_back(L'\0');
    }
    bloque.push_back(L'\0');

    std::wstring linea = Ancho(LineaArgumentos(argumentos));
    std::wstring programa = Ancho(argumentos[0]);
    std::wstring dir = Ancho(carpeta);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    ScopedHandle<ArchivoTraits> salida, error;
    if (!salida_.empty() || !error_.empty()) {
        salida = salida_.empty() ? ScopedHandle<ArchivoTraits>() : ArchivoHeredable(salida_);
        error = error_.empty() ? ScopedHandle<ArchivoTraits>() : ArchivoHeredable(error_);
        si.dwFlags |= STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = salida ? salida.Get() : GetStdHandle(STD_OUTPUT_HANDLE);
        si.hStdError = error ? error.Get() : GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(programa.c_str(), linea.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                        bloque.data(), dir.empty() ? nullptr : dir.c_str(), &si, &pi))
        return false;
    Handle hilo(pi.hThread);
    Handle anterior(static_cast<HANDLE>(std::exchange(handle_, pi.hProcess)));
    id_ = pi.dwProcessId;
    terminado_ = false;
    codigo_ = -1;
    return true;
}

int32_t ProcesoHijo::Esperar() {
    if (terminado_)
        return codigo_;
    terminado_ = true;
    if (WaitForSingleObject(static_cast<HANDLE>(handle_), INFINITE) != WAIT_OBJECT_0)
        return codigo_ = -1;
    DWORD codigo = 0;
    GetExitCodeProcess(static_cast<HANDLE>(handle_), &codigo);
    return codigo_ = static_cast<int32_t>(codigo);
}

bool ProcesoHijo::EnEjecucion() {
    if (terminado_)
        return false;
    if (WaitForSingleObject(static_cast<HANDLE>(handle_), 0) == WAIT_TIMEOUT)
        return true;
    Esperar();
    return false;
}

bool ProcesoHijo::Terminar() {
    if (terminado_)
        return false;
    TerminateProcess(static_cast<HANDLE>(handle_), 137);
    Esperar();
    return true;
}

std::string RutaEjecutableActual() {
    wchar_t buf[32768];
    DWORD n = GetModuleFileNameW(nullptr, buf, 32768);
    return DesdeUtf16(std::u16string(buf, buf + n));
}

} // namespace olvado::platform
