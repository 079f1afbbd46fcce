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

struct Colmena {
    std::string raiz; // "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER"
    std::vector<Clave> claves;

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

// Parses a file's text. False when it is not a hive of this root (wrong
// header, unknown line, bad data, another hive's section); then c is not valid.
// A file with nothing but blanks is an empty hive.
bool Leer(const std::string& texto, const std::string& raiz, Colmena& c);
// The file's text: UTF-8, CR LF line ends.
std::string Escribir(const Colmena& c);

} // namespace olvado::platform::reg
