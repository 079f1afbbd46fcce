// The one rule by which versions are compared in the whole program, and the
// two questions that the update engine asks with it.
#pragma once

#include <cstdint>

namespace olvado {

// True when version A is strictly greater than version B (signed comparison,
// Major first, then Minor, then Revision).
bool CompararVersiones(int32_t A1, int32_t A2, int32_t A3, int32_t B1, int32_t B2, int32_t B3);

// Is the installed program (VersionExterna true: the given Major, Minor,
// Revision; false: this running program's own version) newer than the package?
bool ProgramaMasRecienteQueDB(int32_t PaqMajor, int32_t PaqMinor, int32_t PaqRevision, bool VersionExterna,
                              int32_t Major, int32_t Minor, int32_t Revision);
// Is the package newer than the installed (or own) version?
bool DBMasRecienteQuePrograma(int32_t PaqMajor, int32_t PaqMinor, int32_t PaqRevision, bool VersionExterna,
                              int32_t Major, int32_t Minor, int32_t Revision);

} // namespace olvado
