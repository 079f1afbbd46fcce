// The line syntax of the registry editor's export format (".reg"): sections,
// values, comments and line ends, as the Linux registry stand-in reads and
// writes its hive files. Only the posix registry includes this header.
#pragma once

#include "platform/posix/ArchivoReg.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace olvado::platform::reg {

inline constexpr std::string_view kCabecera = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view kCabecera4 = "REGEDIT4"; // texts in the ANSI code page

std::string Recortar(std::string_view s);
std::string Utf16LE(std::u16string_view u);
// "name" with its quotes and backslashes escaped.
std::string Comillas(const std::string& s);
// What follows an entry on its line: nothing, or a comment.
bool SoloComentario(std::string_view resto);

enum class Seccion { Propia, Ajena, Invalida };
// A section line of the hive of root `raiz` (HKEY_CLASSES_ROOT is part of
// HKEY_LOCAL_MACHINE's): ruta below the root, borrar for "[-...]".
Seccion LeerSeccion(const std::string& l, const std::string& raiz, std::string& ruta, bool& borrar);
// `"name"=data`, `@=data` or `"name"=-` (borrado); ansi for a REGEDIT4 file.
bool LeerValor(const std::string& l, bool ansi, Valor& v, bool& borrado);
// The line that writes v.
std::string LineaValor(const Valor& v);

// The physical lines of a text: CR LF, LF or CR ends.
struct Fisica {
    size_t inicio, fin, siguiente; // the line [inicio, fin); the next one at siguiente
};
bool SiguienteFisica(const std::string& t, size_t& i, Fisica& f);
// An entry's text as the parser reads it: its lines trimmed, a continued
// line's closing "\" dropped, joined.
std::string Logica(std::string_view crudo);
// True for a value line whose hex data goes on after a closing "\".
bool Continua(const std::string& l);
// The first line that is neither blank nor a comment, trimmed.
std::string PrimeraEntrada(const std::string& t);

} // namespace olvado::platform::reg
