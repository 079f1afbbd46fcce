// Registry access through properties: set a root (ClassKey), a key path
// (SectionKey) and a value name (ValueKey), then read or write `value`.
// Failures of the key and value operations raise ErrorOlvado with the numbers
// and texts below; reading never raises (a missing key or value gives Default).
#pragma once

#include "base/ErrorOlvado.h"
#include "common/Variante.h"

#include <cstdint>
#include <string>
#include <vector>

namespace olvado {

// Predefined roots as the program keeps them: 32-bit numbers.
inline constexpr int32_t HKEY_CLASSES_ROOT = static_cast<int32_t>(0x80000000u);
inline constexpr int32_t HKEY_CURRENT_USER = static_cast<int32_t>(0x80000001u);
inline constexpr int32_t HKEY_LOCAL_MACHINE = static_cast<int32_t>(0x80000002u);
inline constexpr int32_t HKEY_USERS = static_cast<int32_t>(0x80000003u);

// Value types.
inline constexpr int32_t REG_SZ = 1;
inline constexpr int32_t REG_EXPAND_SZ = 2;
inline constexpr int32_t REG_BINARY = 3;
inline constexpr int32_t REG_DWORD = 4;
inline constexpr int32_t REG_DWORD_BIG_ENDIAN = 5;
inline constexpr int32_t REG_MULTI_SZ = 7;

// Error numbers: every failure but a failed value write, and that one.
inline constexpr int32_t kErrorRegistro = 26001;
inline constexpr int32_t kErrorRegistroEscritura = vbObjectError + 1048 + 26001;

class cRegistry {
public:
    int32_t ClassKey() const { return classKey_; }
    void ClassKey(int32_t v) { classKey_ = v; }
    const std::string& SectionKey() const { return sectionKey_; }
    void SectionKey(const std::string& v) { sectionKey_ = v; }
    const std::string& ValueKey() const { return valueKey_; }
    void ValueKey(const std::string& v) { valueKey_ = v; }
    int32_t ValueType() const { return valueType_; }
    void ValueType(int32_t v) { valueType_ = v; }
    const Variante& Default() const { return default_; }
    void Default(const Variante& v) { default_ = v; }
    bool Modo64() const { return modo64_; }
    void Modo64(bool v) { modo64_ = v; }
    // Kept for callers that set it; remote registries are not reached.
    const std::string& Machine() const { return machine_; }
    void Machine(const std::string& v);

    bool KeyExists() const;
    bool CreateKey();
    bool DeleteKey();
    bool DeleteValue();

    // Reading sets ValueType to the type found; texts come back as UTF-8,
    // REG_DWORD and REG_DWORD_BIG_ENDIAN as int32_t, anything else as bytes
    // (the stored bytes followed by one zero byte).
    Variante value();
    void value(const Variante& v);
    Variante ValueEx(int32_t classKey, const std::string& sectionKey, const std::string& valueKey,
                     int32_t valueType, const Variante& defecto);
    void ValueEx(int32_t classKey, const std::string& sectionKey, const std::string& valueKey, int32_t valueType,
                 const Variante& defecto, const Variante& v);

    // Names of the values / sub-keys of SectionKey, in the registry's order.
    // True also when the key cannot be opened (the list is then empty).
    bool EnumerateValues(std::vector<std::string>& nombres, int32_t& cuenta);
    bool EnumerateSections(std::vector<std::string>& nombres, int32_t& cuenta);

    // File-type registration under HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
    void CreateEXEAssociation(const std::string& rutaPrograma, const std::string& nombreClase,
                              const std::string& descripcionClase, const std::string& extension,
                              const std::string& textoAbrir = "", bool imprimir = false,
                              const std::string& textoImprimir = "", bool nuevo = false,
                              const std::string& textoNuevo = "", bool instalar = false,
                              const std::string& textoInstalar = "", int32_t indiceIcono = -1);
    // Items in threes: verb name, verb text, command.
    void CreateAdditionalEXEAssociations(const std::string& nombreClase, const std::vector<std::string>& items);

private:
    uint32_t MascaraLectura() const { return modo64_ ? 0x101u : 0x1u; }
    [[noreturn]] void Lanzar(int32_t numero, const std::string& descripcion) const;
    std::string TextoClaseSeccion() const;
    void EscribirPorDefecto(int32_t raiz, const std::string& clave, const std::string& texto);

    int32_t classKey_ = HKEY_LOCAL_MACHINE;
    std::string sectionKey_;
    std::string valueKey_;
    Variante ultimoValor_;
    Variante default_;
    int32_t valueType_ = REG_SZ;
    std::string machine_;
    bool modo64_ = false;
};

} // namespace olvado
