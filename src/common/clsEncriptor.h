// The family's own cipher for short stored secrets (the administrator
// account, package digests, fields of the connection store). It obfuscates,
// it does not protect: a random eight-digit key travels inside every cipher
// text, and a fixed check text appended before enciphering tells on
// deciphering whether the result is genuine. Characters are taken as their
// codes in the ANSI code page, so cipher texts made on Windows workstations
// read the same here.
#pragma once

#include <string>

namespace olvado {

class clsEncriptor {
public:
    clsEncriptor() = default;

    // Printable upper-case hexadecimal text, 10 + 2 * (length + 7) characters.
    std::string Encrypt(std::string Texto);
    // The plain text. Cifrado is consumed (empty on return). An empty Cifrado
    // answers "" and leaves Exito as it was; anything that is not a genuine
    // cipher text answers "" with Exito false.
    std::string Decrypt(std::string& Cifrado, bool& Exito);

private:
    std::string Comprobacion = "Quimbal";
};

} // namespace olvado
