// The registry, as the ANSI entry points of advapi32 see it. Windows: the
// Reg*A calls themselves. Linux: one text file per hive in the registry
// editor's export format ("Windows Registry Editor Version 5.00"):
// HKEY_LOCAL_MACHINE at $OLVADO_ROOT/etc/olvado/HKLM.reg, HKEY_CURRENT_USER
// at $XDG_CONFIG_HOME/olvado/HKCU.reg (default ~/.config), HKEY_CLASSES_ROOT
// as HKEY_LOCAL_MACHINE\SOFTWARE\Classes. Key and value names compare without
// regard to letter case; a read-modify-write happens under an advisory lock,
// and a write replaces the file atomically, keeping the file's comments and
// the lines it does not change, its owner and its mode (a new hive file is
// 0644 whatever the umask). Only a hive file that does not exist is an empty
// hive: one that exists and cannot be read (5) or parsed (1009, ERROR_BADDB)
// answers that code to every call on that hive and is never overwritten, so
// a caller tells "no such key or value" (2) from "cannot tell".
//
// Contract of both systems: names are UTF-8 and become ANSI text at the call;
// value data are the bytes the ANSI entry points take and give (texts in the
// ANSI code page, with their closing zero); answers are Win32 error codes
// (ErroresSistema.h: 0 success, 2 not found, 5 access denied, 234 more data,
// 259 no more items, 1009 damaged registry file). Tests may put another implementation in place
// (base/Servicio.h) (e.g. one that records the access masks).
//
// Registry views: the family's programs are 32-bit. The 64-bit Windows build
// opens and creates keys as a 32-bit program on 64-bit Windows does: a mask
// that names no view (KEY_WOW64_64KEY_, KEY_WOW64_32KEY_) gets the 32-bit one,
// and BorrarClave deletes in it, so HKEY_LOCAL_MACHINE\SOFTWARE\X is what the
// 64-bit view calls SOFTWARE\WOW6432Node\X. The 32-bit build leaves the view
// to the system. Linux has one view and ignores the view bits.
#pragma once

#include <cstdint>
#include <string>

#include "base/ScopedHandle.h"
#include "base/Servicio.h"
#include "platform/ErroresSistema.h"

namespace olvado::platform {

// An open key: a predefined root (HKEY_* below) or what AbrirClave gave.
using HClave = std::uintptr_t;

inline constexpr HClave HKEY_CLASSES_ROOT_ = 0x80000000u;
inline constexpr HClave HKEY_CURRENT_USER_ = 0x80000001u;
inline constexpr HClave HKEY_LOCAL_MACHINE_ = 0x80000002u;
inline constexpr HClave HKEY_USERS_ = 0x80000003u;

inline constexpr uint32_t KEY_WOW64_64KEY_ = 0x0100;
inline constexpr uint32_t KEY_WOW64_32KEY_ = 0x0200;

class IRegistro : public Servicio<IRegistro> {
public:
    static IRegistro& DelSistema();
    virtual ~IRegistro() = default;
    // RegOpenKeyExA(raiz, subclave, 0, mascara, &clave).
    virtual int32_t AbrirClave(HClave raiz, const std::string& subclave, uint32_t mascara, HClave& clave) = 0;
    // RegCreateKeyExA(raiz, subclave, 0, no class, non-volatile, mascara, default security, &clave).
    virtual int32_t CrearClave(HClave raiz, const std::string& subclave, uint32_t mascara, HClave& clave) = 0;
    virtual int32_t CerrarClave(HClave clave) = 0;
    // RegDeleteKeyA: fails with 5 while the key has sub-keys.
    virtual int32_t BorrarClave(HClave raiz, const std::string& subclave) = 0;
    // RegQueryValueExA. datos == nullptr asks only for the type and the size.
    virtual int32_t ConsultarValor(HClave clave, const std::string& nombre, uint32_t& tipo, uint32_t& tamano,
                                   std::string* datos) = 0;
    // RegSetValueExA with the data as given.
    virtual int32_t EstablecerValor(HClave clave, const std::string& nombre, uint32_t tipo,
                                    const std::string& datos) = 0;
    virtual int32_t BorrarValor(HClave clave, const std::string& nombre) = 0;
    // RegEnumKeyA / RegEnumValueA: the indice-th name, 259 past the last.
    virtual int32_t EnumerarClave(HClave clave, uint32_t indice, std::string& nombre) = 0;
    virtual int32_t EnumerarValor(HClave clave, uint32_t indice, std::string& nombre) = 0;
};

// Closes a key opened through IRegistro::Actual() on every path.
struct ClaveRegistroTraits {
    using handle_type = HClave;
    static HClave Invalid() { return 0; }
    static void Close(HClave h) { IRegistro::Actual().CerrarClave(h); }
};
using ClaveRegistro = ScopedHandle<ClaveRegistroTraits>;

// ExpandEnvironmentStringsA: %NOMBRE% references replaced by the variables'
// values; unknown names stay as written. UTF-8 in and out.
std::string ExpandirVariablesEntorno(const std::string& texto);

} // namespace olvado::platform
