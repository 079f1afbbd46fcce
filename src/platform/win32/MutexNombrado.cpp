// Win32 only: named kernel mutexes.
#include "platform/MutexNombrado.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"
#include "platform/win32/RasgosManejadores.h"

#include <windows.h>

namespace olvado::platform {

bool ExisteMutexNombrado(const std::string& nombre) {
    return Handle(OpenMutexA(0x1F0001 /* MUTEX_ALL_ACCESS */, FALSE, AAnsi(nombre).c_str())).Valido();
}

bool CrearMutexNombrado(const std::string& nombre, bool daclNula) {
    // The handle is never closed: the mutex lives as long as this process.
    HANDLE h = CreateMutexA(nullptr, TRUE, AAnsi(nombre).c_str());
    if (!h)
        return false;
    if (daclNula) {
        SECURITY_DESCRIPTOR sd;
        InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);
        SetKernelObjectSecurity(h, DACL_SECURITY_INFORMATION, &sd);
    }
    return true;
}

} // namespace olvado::platform
