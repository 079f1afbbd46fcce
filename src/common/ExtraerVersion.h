// The version resource of an executable file: its eight texts and the
// Major.Minor.Revision of its FileVersion, and the installed main program's.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace olvado {

// Filled in this order, named by the keys that feed them.
struct InformacionVersion {
    std::string CompanyName;
    std::string FileDescription;
    std::string FileVersion;
    std::string InternalName;
    std::string LegalCopyright;
    std::string OriginalFileName;
    std::string ProductName;
    std::string ProductVersion;
};

// The eight texts with their key names, in record order.
std::array<std::pair<const char*, std::string*>, 8> CamposInformacionVersion(InformacionVersion& Info);

// 1 when all eight texts of the first translation were read, 2 otherwise
// (texts read before the failure stay in Info, the others are "").
int32_t ExtraerInformacionVersion(const std::string& Archivo, InformacionVersion& Info);

// The first three pieces of FileVersion as decimal numbers ("1.00.0066" is
// 1, 0, 66; a fourth piece is not used). False when the resource cannot be
// read or FileVersion has fewer than three numeric pieces.
bool VersionArchivo(const std::string& Archivo, int32_t& Major, int32_t& Minor, int32_t& Revision);

// VersionArchivo of the installed main executable, Olvado\Olvado.exe in the
// program-files folder (special folder 38).
bool VersionProgramaPrincipal(int32_t& Major, int32_t& Minor, int32_t& Revision);

} // namespace olvado
