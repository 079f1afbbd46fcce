// Small PE files with a version resource, for the tests of both version
// readers (our own and version.dll under Wine).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace olvado::prueba {

struct TablaCadenas {
    std::string clave; // "0C0A04E4"
    std::vector<std::pair<std::string, std::string>> valores; // key, UTF-8 text
};

struct DatosVersionPE {
    std::vector<std::pair<std::uint16_t, std::uint16_t>> traducciones; // language, code page
    std::vector<TablaCadenas> tablas;                                   // in file order
};

// The eight texts under table "0C0A04E4", translation 0x0C0A / 1252.
DatosVersionPE VersionCompleta(const std::string& fileVersion);

// The VS_VERSIONINFO block, as a resource compiler lays it out.
std::string BloqueVersion(const DatosVersionPE& datos);
// A PE32+ image with one .rsrc section holding `bloque` as resource
// RT_VERSION / 1 / the given language.
std::string ArchivoPE(const std::string& bloque, std::uint16_t idioma = 0x0C0A);
// Where ArchivoPE puts the block in the file.
inline constexpr std::size_t kPosicionBloquePE = 0x258;

} // namespace olvado::prueba
