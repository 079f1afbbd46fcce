// A registry key of its own for one test: HKEY_LOCAL_MACHINE\SOFTWARE\<a
// company name nobody else uses>, removed with everything below it at the
// end. On Linux it also gives the test a fresh tree (the hive files live there).
#pragma once

#include "support/ArbolPrueba.h"

#include <string>

namespace olvado::prueba {

class RegistroPrueba {
public:
    // compania "" makes up a fresh name.
    explicit RegistroPrueba(std::string compania = "");
    ~RegistroPrueba();
    RegistroPrueba(const RegistroPrueba&) = delete;
    RegistroPrueba& operator=(const RegistroPrueba&) = delete;

    const std::string& Compania() const { return compania_; }
    std::string Ruta() const { return "SOFTWARE\\" + compania_; }

private:
    ArbolPrueba arbol_;
    std::string compania_;
};

// Deletes a key and all its sub-keys (no error when missing).
void BorrarArbolRegistro(int32_t raiz, const std::string& ruta);

} // namespace olvado::prueba
