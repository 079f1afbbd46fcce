#include "common/ComparadorVersiones.h"

#include "common/IdentidadPrograma.h"

namespace olvado {

bool CompararVersiones(int32_t A1, int32_t A2, int32_t A3, int32_t B1, int32_t B2, int32_t B3) {
    if (A1 != B1)
        return A1 > B1;
    if (A2 != B2)
        return A2 > B2;
    return A3 > B3;
}

namespace {

// The installed version as the caller gave it, or this program's own.
void VersionComparada(bool VersionExterna, int32_t& Major, int32_t& Minor, int32_t& Revision) {
    if (VersionExterna)
        return;
    const IdentidadPrograma& propia = ObtenerIdentidadPrograma();
    Major = propia.Major;
    Minor = propia.Minor;
    Revision = propia.Revision;
}

} // namespace

bool ProgramaMasRecienteQueDB(int32_t PaqMajor, int32_t PaqMinor, int32_t PaqRevision, bool VersionExterna,
                              int32_t Major, int32_t Minor, int32_t Revision) {
    VersionComparada(VersionExterna, Major, Minor, Revision);
    return CompararVersiones(Major, Minor, Revision, PaqMajor, PaqMinor, PaqRevision);
}

bool DBMasRecienteQuePrograma(int32_t PaqMajor, int32_t PaqMinor, int32_t PaqRevision, bool VersionExterna,
                              int32_t Major, int32_t Minor, int32_t Revision) {
    VersionComparada(VersionExterna, Major, Minor, Revision);
    return CompararVersiones(PaqMajor, PaqMinor, PaqRevision, Major, Minor, Revision);
}

} // namespace olvado
