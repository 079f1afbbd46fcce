// The Linux registry stand-in's hive: the keys and values of one .reg file
// (the registry editor's export format), read and written as text. Only the
// posix registry includes this header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace olvado::platform::reg {

// One value as the registry keeps it: texts (types 1, 2, 7) as UTF-16LE bytes
// with their closing zero, everything else as the bytes given.
struct Valor {
    std::string nombre; // "" is the key's default value ("@")
    uint32_t tipo = 0;
    std::string datos;
};

struct Clave {
    std::string ruta; // below the hive's root, parts joined by "\", as first written
    std::vector<Valor> valores;
};

// One entry of the file as read (a value whose hex data goes on over several
// lines is one entry): what a rewrite keeps as it was, replaces or drops.
struct Linea {
    enum class Tipo : uint8_t { Otra, Seccion, Valor };
    size_t inicio = 0, largo = 0; // in Colmena::texto, inner line ends included
    uint8_t fin = 0;              // its own line end's length (0: the file's last line has none)
    Tipo tipo = Tipo::Otra;       // Otra: comments, blanks, the header, deletions, other roots' sections
    bool ultima = true;           // Valor: the last mention of its name in its key, the one that counts
    size_t seccion = 0;           // Valor: its section's line; Seccion: its key while the file is read
    std::string clave;            // Seccion: the key's path, upper case
};

struct Colmena {
    std::string raiz; // "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER"
    std::vector<Clave> claves;

    // The file as read (UTF-8 text) and its entries: a rewrite keeps what it
    // does not change, in the file's own encoding, header and line end.
    enum class Codificacion : uint8_t { Utf8, Utf8ConBom, Utf16 };
    std::string texto;
    std::vector<Linea> lineas;
    Codificacion codificacion = Codificacion::Utf8;
    bool ansi = false; // a "REGEDIT4" file: texts in the ANSI code page
    std::string finLinea = "\r\n";

    // The key itself, or nullptr. Names compare without regard to case.
    Clave* Buscar(const std::string& ruta);
    // True for a stored key and for every ancestor of one (and for the root).
    bool Existe(const std::string& ruta) const;
    // Adds the key and its missing ancestors; answers the key.
    Clave& Crear(const std::string& ruta);
    // The direct sub-keys' names, in file order, each once.
    std::vector<std::string> SubClaves(const std::string& ruta) const;
};

// Case-insensitive comparison of key and value names.
bool MismoNombre(const std::string& a, const std::string& b);
// Joins base and sub, dropping empty parts ("SOFTWARE\Olvado Systems\Base\" has none at its end).
std::string UnirRuta(const std::string& base, const std::string& sub);

// Parses a file's bytes: UTF-8 (with or without BOM), UTF-16LE with BOM, or
// ANSI under a "REGEDIT4" header; CR LF, LF or CR line ends; comments on
// lines of their own or after an entry; key deletions "[-...]" and value
// deletions "name"=-, applied in file order; sections of the other roots,
// checked and kept but not read. False when it is not a hive (no header
// before the first entry, a line no export holds, bad data, an unknown root);
// then c is not valid. A file with nothing but blanks and comments is an
// empty hive.
bool Leer(const std::string& bytes, const std::string& raiz, Colmena& c);
// The file's bytes: what was read with the changes made to c since, every
// line c does not change kept as it was.
std::string Escribir(const Colmena& c);

} // namespace olvado::platform::reg
