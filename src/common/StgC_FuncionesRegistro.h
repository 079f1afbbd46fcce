// The program's settings layout on top of cRegistry: every setting lives under
// SOFTWARE\<company>\<"Base" or product>[\<sub-key>].
#pragma once

#include "common/Variante.h"

#include <cstdint>
#include <string>

namespace olvado {

// "SOFTWARE\" + company + "\" + ("Base" | product) + sub-key, with one "\" in
// front of the sub-key unless it has one: an empty sub-key leaves a closing "\".
std::string RutaClaveConfiguracion(const std::string& subClave, const std::string& compania,
                                   const std::string& producto, bool enBase);

// True when the key exists (Valor is then the stored value or defecto); false
// with Valor = defecto when it does not. Tipo 1 turns Valor into a 32-bit
// number (a non-numeric one into defecto). Registry faults reach the caller.
bool RegistroBase_GetValor(const std::string& subClave, const std::string& nombreValor, Variante& valor,
                           int32_t tipo, const Variante& defecto, int32_t rootKey, const std::string& compania,
                           const std::string& producto, bool enBase);

// A setting that guards something, read from HKEY_LOCAL_MACHINE without a
// default: Ausente when the key or the value does not exist, Leido with the
// text of a REG_SZ value, Fallido for anything else (a hive that exists but
// cannot be read or parsed, access denied, a value of another type), with
// Motivo saying why. A caller refuses what it guards on Fallido.
enum class LecturaRegistro { Ausente, Leido, Fallido };
LecturaRegistro RegistroBase_LeerTextoEstricto(const std::string& subClave, const std::string& nombreValor,
                                               std::string& texto, std::string& motivo, const std::string& compania,
                                               const std::string& producto, bool enBase);

// Writes the value's text (tipo 0 and 1; any other tipo writes "") as REG_SZ,
// or REG_EXPAND_SZ when it holds an environment reference, creating the key
// when missing. False on any fault, without a message.
bool RegistroBase_SetValor(const std::string& subClave, const std::string& nombreValor, const Variante& valor,
                           int32_t tipo, int32_t rootKey, const std::string& compania, const std::string& producto,
                           bool enBase);

} // namespace olvado
