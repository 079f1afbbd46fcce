#include "updater/MuteX.h"

#include "platform/MutexNombrado.h"

namespace olvado {

std::string MutexNombreBase(bool Global) { return (Global ? "Global\\" : "") + std::string(kMutexBase); }

void MutexNombres(std::string& NombreGlobal, std::string& NombreLocal, const std::string& Sufijo) {
    std::string sufijo = Sufijo.empty() ? "" : "-" + Sufijo;
    NombreGlobal = MutexNombreBase(true) + sufijo;
    NombreLocal = MutexNombreBase(false) + sufijo;
}

bool MutexExiste(const std::string& Sufijo, bool Global) {
    std::string global, local;
    MutexNombres(global, local, Sufijo);
    if (platform::ExisteMutexNombrado(global))
        return true;
    return Global && platform::ExisteMutexNombrado(local);
}

bool CrearMutex(const std::string& Sufijo, bool Global, bool Verificar) {
    if (Verificar && MutexExiste(Sufijo, Global))
        return false;
    std::string global, local;
    MutexNombres(global, local, Sufijo);
    platform::CrearMutexNombrado(local, false);
    if (Global)
        platform::CrearMutexNombrado(global, true);
    return true;
}

} // namespace olvado
