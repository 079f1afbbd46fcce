// The packages a product's workstations may still have, as the publisher
// keeps them: the pieces of its last versions stay in BinariosActTrozos (a
// reader takes only its row's version and digest, so they serve no one but
// the deltas), and BinariosActDeltas holds, in pieces of the usual size, the
// zstd delta from each of them to the current package, keyed by the piece key,
// the base's enciphered digest (MD5Base, as its row stored it) and the
// target's version, with the target's digest and size beside it.
#pragma once

#include "updater/PaqueteEnTrozos.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace olvado::admin {

class BaseAdmin;

// The table's name is the workstation's, which reads it.
inline constexpr const char* kTablaDeltas = PaqueteEnTrozos::kTablaDeltas;

class VersionesGuardadas {
  public:
    struct Version {
        int32_t major = 0, minor = 0, revision = 0;
        std::string md5Cifrado;
    };

    // The versions with pieces under clave, newest first; false when they
    // cannot be read.
    static bool Listar(BaseAdmin& base, const std::string& clave, std::vector<Version>& versiones);
    // The version and digest of the product's BinariosAct row, if it has one.
    static std::optional<Version> General(BaseAdmin& base, const std::string& producto);
    // v's package from its pieces, raw or one zstd stream, whichever gives
    // its digest; nothing when neither does.
    static std::optional<std::string> Leer(BaseAdmin& base, const std::string& clave, const Version& v);
    // " AND (Major = .. AND Minor = .. AND Revision = ..) OR (...)": the
    // versions given, for a condition on clave's rows ("" for none).
    static std::string SqlVersiones(const std::vector<Version>& versiones);
};

} // namespace olvado::admin
