#include "common/cRegistry.h"

#include "base/ErrorOlvado.h"
#include "base/Texto.h"
#include "common/ErroresEjecucion.h"
#include "platform/ProcesoHijo.h"
#include "platform/Registro.h"
#include "platform/TextoAnsi.h"

#include <filesystem>

namespace olvado {
namespace {

using platform::ClaveRegistro;
using platform::HClave;

constexpr uint32_t kMascaraCrear = 0x3F; // KEY_ALL_ACCESS without the 64-bit flag, always

HClave Raiz(int32_t classKey) { return static_cast<HClave>(static_cast<uint32_t>(classKey)); }
platform::IRegistro& Reg() { return platform::IRegistro::Actual(); }

// A percent sign with another one at least two positions further on: an
// environment reference, stored as REG_EXPAND_SZ.
bool TieneReferencia(const std::string& texto) {
    size_t p = texto.find('%');
    return p != std::string::npos && texto.find('%', p + 2) != std::string::npos;
}

int32_t LeerInt32(const std::string& b, bool invertir) {
    uint32_t n = 0;
    for (int k = 0; k < 4; ++k) {
        unsigned char c = k < static_cast<int>(b.size()) ? static_cast<unsigned char>(b[static_cast<size_t>(k)]) : 0;
        n |= static_cast<uint32_t>(c) << (8 * (invertir ? 3 - k : k));
    }
    return static_cast<int32_t>(n);
}

std::string BytesDword(int32_t v) {
    std::string b;
    for (int k = 0; k < 4; ++k)
        b.push_back(static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF));
    return b;
}

std::string ConComillas(const std::string& ruta) {
    std::string r = Trim(ruta);
    if (r.empty() || r.front() != '"')
        r = "\"" + r;
    if (r.size() < 2 || r.back() != '"')
        r += "\"";
    return r;
}

} // namespace

void cRegistry::Machine(const std::string& v) {
    if (Len(v) < 3)
        machine_.clear();
    else
        machine_ = v.rfind("\\\\", 0) == 0 ? v : "\\\\" + v;
}

void cRegistry::Lanzar(int32_t numero, const std::string& descripcion) const {
    std::string exe = std::filesystem::path(platform::RutaEjecutableActual()).stem().string();
    throw ErrorOlvado(numero, exe + ".cRegistry", descripcion);
}

std::string cRegistry::TextoClaseSeccion() const {
    return "'" + std::to_string(classKey_) + "',Section: '" + sectionKey_;
}

bool cRegistry::KeyExists() const {
    HClave h = 0;
    if (Reg().AbrirClave(Raiz(classKey_), sectionKey_, MascaraLectura(), h) != 0)
        return false;
    ClaveRegistro cerrar(h);
    return true;
}

bool cRegistry::CreateKey() {
    HClave h = 0;
    if (Reg().CrearClave(Raiz(classKey_), sectionKey_, kMascaraCrear, h) != 0)
        Lanzar(kErrorRegistro, "Failed to create registry Key: '" + sectionKey_);
    ClaveRegistro cerrar(h);
    return true;
}

bool cRegistry::DeleteKey() {
    if (Reg().BorrarClave(Raiz(classKey_), sectionKey_) != 0)
        Lanzar(kErrorRegistro, "Failed to delete registry Key: " + TextoClaseSeccion());
    return true;
}

bool cRegistry::DeleteValue() {
    HClave h = 0;
    if (Reg().AbrirClave(Raiz(classKey_), sectionKey_, modo64_ ? 0x13Fu : 0x3Fu, h) != 0)
        Lanzar(kErrorRegistro, "Failed to open key " + TextoClaseSeccion() + "' for delete access");
    ClaveRegistro clave(h);
    if (Reg().BorrarValor(h, valueKey_) != 0)
        Lanzar(kErrorRegistro, "Failed to delete registry Key: " + TextoClaseSeccion() + "',Key: '" + valueKey_);
    return true;
}

Variante cRegistry::value() {
    HClave h = 0;
    if (Reg().AbrirClave(Raiz(classKey_), sectionKey_, MascaraLectura(), h) != 0)
        return default_;
    ClaveRegistro clave(h);
    uint32_t tipo = 0, tamano = 0;
    int32_t r = Reg().ConsultarValor(h, valueKey_, tipo, tamano, nullptr);
    if (r != 0 && r != platform::kErrorMasDatos)
        return default_;
    valueType_ = static_cast<int32_t>(tipo);
    std::string datos(tamano, '\0');
    if (tamano > 0 && Reg().ConsultarValor(h, valueKey_, tipo, tamano, &datos) != 0)
        return default_;
    switch (valueType_) {
    case REG_SZ:
    case REG_MULTI_SZ:
        return DesdeAnsi(datos.substr(0, datos.empty() ? 0 : datos.size() - 1));
    case REG_EXPAND_SZ:
        return platform::ExpandirVariablesEntorno(DesdeAnsi(datos.substr(0, datos.empty() ? 0 : datos.size() - 1)));
    case REG_DWORD:
        return LeerInt32(datos, false);
    case REG_DWORD_BIG_ENDIAN:
        return LeerInt32(datos, true);
    default:
        datos.push_back('\0');
        return std::vector<uint8_t>(datos.begin(), datos.end());
    }
}

void cRegistry::value(const Variante& v) {
    std::string descripcion = "Failed to set registry value Key: " + TextoClaseSeccion() + "',Key: '" + valueKey_ +
                              "' to value: '" + VarATexto(v) + "'";
    HClave h = 0;
    if (Reg().CrearClave(Raiz(classKey_), sectionKey_, kMascaraCrear, h) != 0)
        Lanzar(kErrorRegistro, descripcion);
    ClaveRegistro clave(h);
    int32_t r = 0;
    switch (valueType_) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::string texto = VarATexto(v);
        r = Reg().EstablecerValor(h, valueKey_, TieneReferencia(texto) ? REG_EXPAND_SZ : REG_SZ,
                                  AAnsi(texto) + std::string(1, '\0'));
        break;
    }
    case REG_BINARY: {
        auto bytes = std::get_if<std::vector<uint8_t>>(&v);
        if (!bytes)
            Lanzar(kErrorRegistro, DescripcionErrorEjecucion(kErrorRegistro));
        r = Reg().EstablecerValor(h, valueKey_, REG_BINARY, std::string(bytes->begin(), bytes->end()));
        break;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        // No byte reversal for type 5: the number is stored as a plain REG_DWORD.
        if (auto n16 = std::get_if<int16_t>(&v))
            r = Reg().EstablecerValor(h, valueKey_, REG_DWORD, BytesDword(*n16));
        else if (auto n32 = std::get_if<int32_t>(&v))
            r = Reg().EstablecerValor(h, valueKey_, REG_DWORD, BytesDword(*n32));
        break;
    default:
        r = 13;
    }
    if (r != 0)
        Lanzar(kErrorRegistroEscritura, descripcion);
    ultimoValor_ = v;
}

Variante cRegistry::ValueEx(int32_t classKey, const std::string& sectionKey, const std::string& valueKey,
                            int32_t valueType, const Variante& defecto) {
    classKey_ = classKey;
    sectionKey_ = sectionKey;
    valueKey_ = valueKey;
    valueType_ = valueType;
    default_ = defecto;
    return value();
}

void cRegistry::ValueEx(int32_t classKey, const std::string& sectionKey, const std::string& valueKey,
                        int32_t valueType, const Variante& defecto, const Variante& v) {
    classKey_ = classKey;
    sectionKey_ = sectionKey;
    valueKey_ = valueKey;
    valueType_ = valueType;
    default_ = defecto;
    value(v);
}

bool cRegistry::EnumerateSections(std::vector<std::string>& nombres, int32_t& cuenta) {
    nombres.clear();
    cuenta = 0;
    HClave h = 0;
    if (Reg().AbrirClave(Raiz(classKey_), sectionKey_, modo64_ ? 0x108u : 0x8u, h) != 0)
        return true;
    ClaveRegistro clave(h);
    std::string nombre;
    for (uint32_t i = 0; Reg().EnumerarClave(h, i, nombre) == 0; ++i) {
        nombres.push_back(nombre.substr(0, nombre.find('\0')));
        ++cuenta;
    }
    return true;
}

bool cRegistry::EnumerateValues(std::vector<std::string>& nombres, int32_t& cuenta) {
    nombres.clear();
    cuenta = 0;
    HClave h = 0;
    if (Reg().AbrirClave(Raiz(classKey_), sectionKey_, MascaraLectura(), h) != 0)
        return true;
    ClaveRegistro clave(h);
    std::string nombre;
    for (uint32_t i = 0; Reg().EnumerarValor(h, i, nombre) == 0; ++i) {
        nombres.push_back(nombre.substr(0, nombre.find('\0')));
        ++cuenta;
    }
    return true;
}

void cRegistry::EscribirPorDefecto(int32_t raiz, const std::string& clave, const std::string& texto) {
    for (int32_t r : {raiz, HKEY_LOCAL_MACHINE}) {
        classKey_ = r;
        sectionKey_ = r == HKEY_CLASSES_ROOT ? clave : "SOFTWARE\\Classes\\" + clave;
        valueKey_.clear();
        valueType_ = REG_SZ;
        value(texto);
    }
}

void cRegistry::CreateEXEAssociation(const std::string& rutaPrograma, const std::string& nombreClase,
                                     const std::string& descripcionClase, const std::string& extension,
                                     const std::string& textoAbrir, bool imprimir,
                                     const std::string& textoImprimir, bool nuevo, const std::string& textoNuevo,
                                     bool instalar, const std::string& textoInstalar, int32_t indiceIcono) {
    std::string ruta = ConComillas(rutaPrograma);
    auto verbo = [&](const std::string& nombre, const std::string& texto, const std::string& porDefecto,
                     const std::string& modificador) {
        EscribirPorDefecto(HKEY_CLASSES_ROOT, nombreClase + "\\shell\\" + nombre, texto.empty() ? porDefecto : texto);
        EscribirPorDefecto(HKEY_CLASSES_ROOT, nombreClase + "\\shell\\" + nombre + "\\command",
                           ruta + modificador + " \"%1\"");
    };
    EscribirPorDefecto(HKEY_CLASSES_ROOT, "." + extension, nombreClase);
    EscribirPorDefecto(HKEY_CLASSES_ROOT, nombreClase, descripcionClase);
    verbo("open", textoAbrir, "&Open", "");
    if (imprimir)
        verbo("print", textoImprimir, "&Print", " /p");
    if (instalar)
        verbo("add", textoInstalar, "&Install " + extension, " /a");
    if (nuevo)
        verbo("new", textoNuevo, "&New", " /n");
    if (indiceIcono > -1)
        EscribirPorDefecto(HKEY_CLASSES_ROOT, nombreClase + "\\DefaultIcon", ruta + "," + std::to_string(indiceIcono));
}

void cRegistry::CreateAdditionalEXEAssociations(const std::string& nombreClase,
                                                const std::vector<std::string>& items) {
    if (items.size() % 3 != 0)
        Lanzar(kErrorRegistro,
               "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");
    classKey_ = HKEY_CLASSES_ROOT;
    sectionKey_ = nombreClase;
    if (!KeyExists())
        Lanzar(kErrorRegistro, "Error - attempt to create additional associations before class defined.");
    for (size_t i = 0; i < items.size(); i += 3) {
        std::string clave = nombreClase + "\\shell\\" + items[i];
        EscribirPorDefecto(HKEY_CLASSES_ROOT, clave, items[i + 1]);
        EscribirPorDefecto(HKEY_CLASSES_ROOT, clave + "\\command", items[i + 2]);
    }
}

} // namespace olvado
