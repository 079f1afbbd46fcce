// The options of the commands that take more than fixed arguments:
// positional arguments, "--name value" options and "--flag" switches.
#pragma once

#include "admin/Ordenes.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace olvado::admin {

struct Opciones {
    std::vector<std::string> posicionales;
    std::map<std::string, std::string> valores; // "--nombre" -> its value
    std::vector<std::string> banderas;          // switches given

    bool Tiene(const std::string& opcion) const;
    // The option's value, or porDefecto when it was not given.
    std::string Valor(const std::string& opcion, const std::string& porDefecto = {}) const;
};

// Splits a; false (with the reason in error) for an unknown option, an
// option without its value, one given twice, or a number of positional
// arguments outside [minimo, maximo].
bool LeerOpciones(const Argumentos& a, const std::vector<std::string>& conValor,
                  const std::vector<std::string>& banderas, size_t minimo, size_t maximo, Opciones& o,
                  std::string& error);

// Decimal digits only (an optional leading "-"), within 32 bits.
bool LeerEntero(const std::string& texto, int32_t& valor);
// "X.Y.Z", three decimal numbers.
bool LeerVersion(const std::string& texto, int32_t& major, int32_t& minor, int32_t& revision);
std::string TextoVersion(int32_t major, int32_t minor, int32_t revision);

// Writes "Uso: olvado-admin " + uso (and the reason) on standard error; answers 2.
int UsoIncorrecto(const std::string& uso, const std::string& motivo);

} // namespace olvado::admin
