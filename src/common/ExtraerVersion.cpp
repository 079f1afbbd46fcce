#include "common/ExtraerVersion.h"

#include "base/Texto.h"
#include "platform/CarpetasEspeciales.h"
#include "platform/RecursoVersion.h"
#include "platform/Rutas.h"
#include "platform/TextoAnsi.h"

#include <cstring>

namespace olvado {
namespace {

// Values are at most 254 characters: the rest of a longer one is cut.
constexpr std::size_t kBufferValor = 255;
// The translation table is copied into a block of this size, zero-filled.
constexpr std::size_t kBufferTraduccion = 256;

std::string ClaveTraduccion(const std::string& tabla) {
    unsigned char bloque[kBufferTraduccion] = {};
    std::memcpy(bloque, tabla.data(), tabla.size() < sizeof bloque ? tabla.size() : sizeof bloque);
    const std::uint32_t idioma = bloque[0] | (bloque[1] << 8);
    const std::uint32_t paginaCodigos = bloque[2] | (bloque[3] << 8);
    const std::uint32_t clave = idioma * 65536 + paginaCodigos;
    std::string hex(8, '0');
    for (int i = 7; i >= 0; --i)
        hex[static_cast<std::size_t>(7 - i)] = "0123456789ABCDEF"[(clave >> (4 * i)) & 15];
    return hex;
}

// A piece of FileVersion as a decimal number: blanks around it, an optional
// sign, digits (leading zeros allowed), within 32 bits.
bool ConvertirNumero(const std::string& pieza, int32_t& numero) {
    const std::string t = Trim(pieza);
    std::size_t i = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
    if (i == t.size())
        return false;
    std::int64_t valor = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9')
            return false;
        valor = valor * 10 + (t[i] - '0');
        if (valor > 2147483648LL)
            return false;
    }
    if (t[0] == '-')
        valor = -valor;
    if (valor > 2147483647LL)
        return false;
    numero = static_cast<int32_t>(valor);
    return true;
}

} // namespace

std::array<std::pair<const char*, std::string*>, 8> CamposInformacionVersion(InformacionVersion& Info) {
    return {{
        {"CompanyName", &Info.CompanyName},
        {"FileDescription", &Info.FileDescription},
        {"FileVersion", &Info.FileVersion},
        {"InternalName", &Info.InternalName},
        {"LegalCopyright", &Info.LegalCopyright},
        {"OriginalFileName", &Info.OriginalFileName},
        {"ProductName", &Info.ProductName},
        {"ProductVersion", &Info.ProductVersion},
    }};
}

int32_t ExtraerInformacionVersion(const std::string& Archivo, InformacionVersion& Info) {
    Info = InformacionVersion{};
    platform::RecursoVersion recurso;
    std::string tabla;
    if (!recurso.Cargar(Archivo) || !recurso.Consultar("\\VarFileInfo\\Translation", tabla))
        return 2;
    const std::string bloque = "\\StringFileInfo\\" + ClaveTraduccion(tabla) + "\\";

    for (const auto& [nombre, destino] : CamposInformacionVersion(Info)) {
        std::string valor;
        if (!recurso.Consultar(bloque + nombre, valor))
            return 2;
        valor.resize(valor.size() < kBufferValor ? valor.size() : kBufferValor);
        *destino = DesdeAnsi(valor.substr(0, valor.find('\0')));
    }
    return 1;
}

bool VersionArchivo(const std::string& Archivo, int32_t& Major, int32_t& Minor, int32_t& Revision) {
    InformacionVersion info;
    if (ExtraerInformacionVersion(Archivo, info) == 2)
        return false;
    int32_t numeros[3] = {};
    std::size_t inicio = 0;
    for (int32_t& n : numeros) {
        if (inicio > info.FileVersion.size())
            return false; // fewer than three pieces
        const std::size_t punto = info.FileVersion.find('.', inicio);
        const std::size_t fin = punto == std::string::npos ? info.FileVersion.size() : punto;
        if (!ConvertirNumero(info.FileVersion.substr(inicio, fin - inicio), n))
            return false;
        inicio = fin + 1;
    }
    Major = numeros[0];
    Minor = numeros[1];
    Revision = numeros[2];
    return true;
}

bool VersionProgramaPrincipal(int32_t& Major, int32_t& Minor, int32_t& Revision) {
    // Special folder 38 is Program Files on Windows and $OLVADO_ROOT/opt on
    // Linux, so the Linux build reads $OLVADO_ROOT/opt/Olvado/Olvado.exe (the
    // "\" becomes "/" where the path reaches the system).
    // Qualified as Ruta_CalificarRuta does (the file tools know this
    // reader, not the other way round).
    std::string carpeta = platform::RutaEspecial(0, platform::CSIDL_PROGRAM_FILES);
    if (carpeta.empty())
        carpeta = "\\";
    else if (!platform::EsSeparadorRuta(carpeta.back()))
        carpeta += platform::SeparadorParaRuta(carpeta);
    return VersionArchivo(carpeta + "Olvado\\Olvado.exe", Major, Minor, Revision);
}

} // namespace olvado
