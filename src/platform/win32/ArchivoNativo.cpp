// Win32 only: one open file on a HANDLE from CreateFileA.
#include "platform/ArchivoNativo.h"

#include "base/Texto.h"
#include "platform/ErroresSistema.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/RasgosManejadores.h"

#include <algorithm>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

namespace olvado::platform {
namespace {

// True when the file's DACL lets nobody but its owner (or the owner rights,
// SYSTEM and the Administrators, who can take any file) in, as ssh holds a
// private key file must. No DACL at all lets everybody in.
bool SoloDelPropietario(HANDLE h) {
    PSID propietario = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetSecurityInfo(h, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &propietario,
                        nullptr, &dacl, nullptr, &sd) != ERROR_SUCCESS)
        return false;
    bool solo = dacl != nullptr;
    for (DWORD i = 0; solo && i < dacl->AceCount; ++i) {
        ACE_HEADER* ace = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) {
            solo = false;
        } else if (ace->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            PSID sid = &reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart;
            solo = EqualSid(sid, propietario) || IsWellKnownSid(sid, WinCreatorOwnerRightsSid) ||
                   IsWellKnownSid(sid, WinLocalSystemSid) || IsWellKnownSid(sid, WinBuiltinAdministratorsSid);
        }
    }
    LocalFree(sd);
    return solo;
}

} // namespace

bool ManejadorArchivoTraits::CerrarManejador(intptr_t h) {
    return ArchivoTraits::Close(reinterpret_cast<HANDLE>(h));
}

bool ArchivoNativo::Fallo() {
    error_ = static_cast<int32_t>(GetLastError());
    return false;
}

bool ArchivoNativo::Abrir(const std::string& ruta, Modo modo) {
    Cerrar();
    DWORD acceso = GENERIC_WRITE, disposicion = OPEN_ALWAYS;
    // Writers let others read, never write; readers let everybody in.
    DWORD compartir = FILE_SHARE_READ;
    switch (modo) {
    case Modo::Leer:
    case Modo::LeerPrivado:
        acceso = GENERIC_READ;
        disposicion = OPEN_EXISTING;
        compartir = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    case Modo::Crear: disposicion = CREATE_ALWAYS; break;
    case Modo::CrearNuevo: disposicion = CREATE_NEW; break;
    case Modo::LeerEscribir:
        acceso = GENERIC_READ | GENERIC_WRITE;
        disposicion = OPEN_EXISTING;
        break;
    case Modo::EscribirDesdeInicio: break;
    case Modo::CrearPrivado: disposicion = CREATE_NEW; break;
    }
    // A protected DACL with one entry, the owner's: nothing inherited from
    // the folder lets anybody else read it.
    SECURITY_ATTRIBUTES privado{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    if (modo == Modo::CrearPrivado &&
        !ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;FA;;;OW)", SDDL_REVISION_1,
                                                              &privado.lpSecurityDescriptor, nullptr))
        return Fallo();
    HANDLE h = CreateFileA(AAnsi(ruta).c_str(), acceso, compartir, privado.lpSecurityDescriptor ? &privado : nullptr,
                           disposicion, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (privado.lpSecurityDescriptor)
        LocalFree(privado.lpSecurityDescriptor);
    if (h == INVALID_HANDLE_VALUE)
        return Fallo();
    manejador_.Reset(reinterpret_cast<intptr_t>(h));
    if (modo == Modo::LeerPrivado && !SoloDelPropietario(h)) {
        manejador_.Reset();
        error_ = ERROR_ACCESS_DENIED;
        return false;
    }
    error_ = 0;
    return true;
}

bool ArchivoNativo::Escribir(std::string_view bytes) {
    if (!Abierto()) {
        error_ = kErrorManejadorNoValido;
        return false;
    }
    HANDLE h = reinterpret_cast<HANDLE>(manejador_.Get());
    while (!bytes.empty()) {
        DWORD pedido = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30)), escrito = 0;
        if (!WriteFile(h, bytes.data(), pedido, &escrito, nullptr))
            return Fallo();
        bytes.remove_prefix(escrito);
    }
    return true;
}

bool ArchivoNativo::Leer(char* destino, size_t n, size_t& leidos) {
    leidos = 0;
    if (!Abierto()) {
        error_ = kErrorManejadorNoValido;
        return false;
    }
    HANDLE h = reinterpret_cast<HANDLE>(manejador_.Get());
    while (leidos < n) {
        DWORD pedido = static_cast<DWORD>(std::min<size_t>(n - leidos, 1u << 30)), leido = 0;
        if (!ReadFile(h, destino + leidos, pedido, &leido, nullptr))
            return Fallo();
        if (leido == 0)
            break;
        leidos += leido;
    }
    return true;
}

bool ArchivoNativo::IrAlFinal() {
    LARGE_INTEGER cero{};
    return Abierto() &&
           (SetFilePointerEx(reinterpret_cast<HANDLE>(manejador_.Get()), cero, nullptr, FILE_END) || Fallo());
}

bool ArchivoNativo::IrA(int64_t posicion) {
    LARGE_INTEGER p{};
    p.QuadPart = posicion;
    return Abierto() &&
           (SetFilePointerEx(reinterpret_cast<HANDLE>(manejador_.Get()), p, nullptr, FILE_BEGIN) || Fallo());
}

int64_t ArchivoNativo::Tamano() {
    LARGE_INTEGER t{};
    if (!Abierto() || !GetFileSizeEx(reinterpret_cast<HANDLE>(manejador_.Get()), &t))
        return -1;
    return t.QuadPart;
}

bool ArchivoNativo::Cerrar() {
    if (!Abierto())
        return false;
    if (!ManejadorArchivoTraits::CerrarManejador(manejador_.Release()))
        return Fallo();
    return true;
}

} // namespace olvado::platform
