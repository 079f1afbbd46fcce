// Path text rules of the Windows shell's path functions (shlwapi), which
// FileTool's members are defined by. Windows: the real PathFindFileNameA,
// PathRemoveExtensionA, PathFindExtensionA, PathStripToRootA, PathSkipRootA,
// PathIsUNCA and PathCompactPathA, through the ANSI code page and 260-character
// buffers. Linux: the same rules in our own code.
//
// Separators. On Windows the program's own rules (Ruta_ExtraerRuta,
// Ruta_CalificarRuta) know "\" only; the shell functions accept what they
// accept. On Linux
// both "\" and "/" separate components: the system's own texts (paths made
// with "\" such as "DB\" + name) and real Linux paths then split the same way,
// and every path handed to the system has its "\" turned into "/" (so a Linux
// file name cannot contain a backslash; the updater never needs one). The
// Windows examples (C:\a\b.txt, \\server\share) therefore give the same
// answers in both builds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace olvado::platform {

// True for a character that separates path components on this system.
bool EsSeparadorRuta(char c);
// The separator to append to a folder path that lacks one: "\" on Windows; on
// Linux "/" when the path uses "/" (a real Linux path), else "\", so that a
// Windows-style text keeps its own separator.
char SeparadorParaRuta(std::string_view ruta);

// PathFindFileName: the last component (text after the last separator that is
// followed by more text); the whole text when there is none.
std::string RutaNombreArchivo(const std::string& ruta);
// PathRemoveExtension: the path without its extension.
std::string RutaSinExtension(const std::string& ruta);
// PathFindExtension: ".ext" of the last component, or "".
std::string RutaExtension(const std::string& ruta);
// PathStripToRoot: the root that the path is left with ("" when it has none).
std::string RutaRaiz(const std::string& ruta);
// PathSkipRoot: hayRaiz false (and "") when the path has no root.
std::string RutaTrasRaiz(const std::string& ruta, bool& hayRaiz);
// PathIsUNC.
bool RutaEsUNC(const std::string& ruta);
// PathCompactPath for the device context hdc (0: the screen) and a width in
// pixels. Linux has no device contexts: a fixed 8-pixel character cell.
std::string RutaCompactada(intptr_t hdc, const std::string& ruta, int32_t pixeles);
// Pixels per twip of the screen, for widths given in twips.
double TwipsPorPixel();

} // namespace olvado::platform
