// Win32 access token: TokenGroups of the process token, names by LookupAccountSidA.
#include "platform/FichaAcceso.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/RasgosManejadores.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <windows.h>

namespace olvado::platform {
namespace {

constexpr DWORD kLargoNombre = 255;
// Room for the count and 501 entries; the identifiers themselves are written
// behind the entries, in the same buffer.
constexpr size_t kLargoGrupos = offsetof(TOKEN_GROUPS, Groups) + 501 * sizeof(SID_AND_ATTRIBUTES);

// The account name of an identifier on the local computer, looked up into
// buffers refilled with blanks each time; "" when the lookup fails.
bool NombreCuenta(PSID sid, std::string& nombre) {
    char cuenta[kLargoNombre + 1], dominio[kLargoNombre + 1];
    std::fill(cuenta, cuenta + kLargoNombre, ' ');
    std::fill(dominio, dominio + kLargoNombre, ' ');
    cuenta[kLargoNombre] = dominio[kLargoNombre] = '\0';
    DWORD largoCuenta = kLargoNombre, largoDominio = kLargoNombre;
    SID_NAME_USE uso;
    bool ok = LookupAccountSidA(nullptr, sid, cuenta, &largoCuenta, dominio, &largoDominio, &uso) == 1;
    nombre = ok ? DesdeAnsi(std::string(cuenta, strnlen(cuenta, kLargoNombre))) : std::string();
    return ok;
}

class FichaWin32 : public IFichaAcceso {
public:
    bool GruposDelToken(std::vector<std::string>& grupos) override {
        HANDLE proceso = GetCurrentProcess();
        if (!proceso)
            return false;
        HANDLE t = nullptr;
        if (OpenProcessToken(proceso, TOKEN_READ, &t) != 1) // 0x20008
            return false;
        Handle token(t);
        DWORD necesario = 0;
        if (GetTokenInformation(t, TokenGroups, nullptr, 0, &necesario) != 0 || necesario < 1)
            return false;
        // A token larger than the fixed buffer gets the room it reported.
        std::vector<unsigned char> buf(std::max<size_t>(kLargoGrupos, necesario));
        if (GetTokenInformation(t, TokenGroups, buf.data(), static_cast<DWORD>(buf.size()), &necesario) != 1 ||
            necesario < 1)
            return false;
        const auto* tg = reinterpret_cast<const TOKEN_GROUPS*>(buf.data());
        grupos.clear();
        for (DWORD i = 0; i < tg->GroupCount; ++i) {
            std::string nombre;
            NombreCuenta(tg->Groups[i].Sid, nombre); // an unresolved group is simply no match
            grupos.push_back(nombre);
        }
        return true;
    }

    bool NombresAdministradores(std::vector<std::string>& nombres) override {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY; // 0,0,0,0,0,5
        PSID s = nullptr;
        if (AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                     0, &s) != 1)
            return false;
        ScopedHandle<SidTraits> sid(s);
        std::string nombre;
        if (!NombreCuenta(s, nombre))
            return false;
        nombres = {nombre};
        return true;
    }
};

} // namespace

IFichaAcceso& IFichaAcceso::DelSistema() {
    static FichaWin32 ficha;
    return ficha;
}

} // namespace olvado::platform
