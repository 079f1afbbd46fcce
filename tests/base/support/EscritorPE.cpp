#include "support/EscritorPE.h"

#include "base/Texto.h"

#include <initializer_list>

namespace olvado::prueba {
namespace {

// Little-endian fields of `bytes` bytes: pairs of position (from base) and value.
void Poner(std::string& s, std::size_t base, int bytes, std::initializer_list<std::uint32_t> posicionValor) {
    for (auto p = posicionValor.begin(); p != posicionValor.end(); p += 2)
        for (int i = 0; i < bytes; ++i)
            s[base + p[0] + i] = static_cast<char>((p[1] >> (8 * i)) & 0xFF);
}
void Alinear(std::string& s) {
    while (s.size() % 4)
        s.push_back('\0');
}

std::string Utf16LE(const std::string& texto, bool conNul) {
    std::string s;
    for (char16_t c : AUtf16(texto)) {
        s.push_back(static_cast<char>(c & 0xFF));
        s.push_back(static_cast<char>(c >> 8));
    }
    if (conNul)
        s.append(2, '\0');
    return s;
}

// One node: wLength, wValueLength, wType, key, padding, value, padding,
// children (each starting on 32 bits); wLength leaves out trailing padding.
std::string Nodo(const std::string& clave, std::uint16_t tipo, const std::string& valor,
                 std::uint16_t largoValor, const std::vector<std::string>& hijos) {
    std::string s(6, '\0');
    s += Utf16LE(clave, true);
    Alinear(s);
    s += valor;
    for (const std::string& h : hijos) {
        Alinear(s);
        s += h;
    }
    Poner(s, 0, 2, {0, static_cast<std::uint32_t>(s.size()), 2, largoValor, 4, tipo});
    return s;
}

} // namespace

DatosVersionPE VersionCompleta(const std::string& fileVersion) {
    return {{{0x0C0A, 1252}},
            {{"0C0A04E4",
              {{"CompanyName", "Olvado Systems"},
               {"FileDescription", "Programa principal"},
               {"FileVersion", fileVersion},
               {"InternalName", "Olvado"},
               {"LegalCopyright", "Copyright (C) Olvado Systems"},
               {"OriginalFileName", "Olvado.exe"},
               {"ProductName", "Olvado"},
               {"ProductVersion", fileVersion}}}}};
}

std::string BloqueVersion(const DatosVersionPE& datos) {
    std::vector<std::string> tablas;
    for (const TablaCadenas& t : datos.tablas) {
        std::vector<std::string> cadenas;
        for (const auto& [clave, texto] : t.valores) {
            const std::string valor = Utf16LE(texto, true);
            cadenas.push_back(Nodo(clave, 1, valor, static_cast<std::uint16_t>(valor.size() / 2), {}));
        }
        tablas.push_back(Nodo(t.clave, 1, "", 0, cadenas));
    }
    std::string traducciones;
    for (const auto& [idioma, pagina] : datos.traducciones) {
        std::string par(4, '\0');
        Poner(par, 0, 2, {0, idioma, 2, pagina});
        traducciones += par;
    }
    const std::string var =
        Nodo("Translation", 0, traducciones, static_cast<std::uint16_t>(traducciones.size()), {});

    // VS_FIXEDFILEINFO: signature, structure version, then zeros.
    std::string fija(52, '\0');
    Poner(fija, 0, 4, {0, 0xFEEF04BDu, 4, 0x00010000u});
    return Nodo("VS_VERSION_INFO", 0, fija, 52,
                {Nodo("StringFileInfo", 1, "", 0, tablas), Nodo("VarFileInfo", 1, "", 0, {var})});
}

std::string ArchivoPE(const std::string& bloque, std::uint16_t idioma) {
    constexpr std::uint32_t kRva = 0x1000, kDatos = 0x200;
    // Resource section: three directory levels (type 16, name 1, the language),
    // one data entry, the block.
    std::string r(0x58, '\0');
    Poner(r, 0, 2, {0x0E, 1, 0x26, 1, 0x3E, 1});
    Poner(r, 0, 4,
          {0x10, 16, 0x14, 0x80000018u, 0x28, 1, 0x2C, 0x80000030u, 0x40, idioma, 0x44, 0x48, 0x48,
           kRva + 0x58, 0x4C, static_cast<std::uint32_t>(bloque.size())});
    r += bloque;
    const std::uint32_t tamano = static_cast<std::uint32_t>(r.size());
    const std::uint32_t enArchivo = (tamano + 0x1FF) & ~0x1FFu;
    r.resize(enArchivo, '\0');

    // DOS header (the magic, where the PE header starts), PE signature, file
    // header: x64, one section, a PE32+ optional header of 240 bytes.
    std::string f(kDatos, '\0');
    f.replace(0, 2, "MZ");
    f.replace(0x40, 4, std::string("PE\0\0", 4));
    Poner(f, 0, 4, {0x3C, 0x40});
    Poner(f, 0, 2, {0x44, 0x8664, 0x46, 1, 0x54, 240, 0x56, 0x0022});
    // Optional header: magic, versions, GUI; sizes, entry, image base
    // 0x140000000, section and file alignment, image and header sizes, stack
    // and heap, 16 directories of which the resource one (index 2, at 112 + 2 * 8).
    const std::size_t o = 0x58, sec = o + 240;
    Poner(f, o, 2, {0, 0x20B, 40, 6, 48, 6, 68, 2});
    const std::uint32_t imagen = kRva + ((tamano + 0xFFF) & ~0xFFFu);
    Poner(f, o, 4, {8,  enArchivo, 20, kRva,   24,  0x40000000u, 28,  0x1,      32,  0x1000,
                    36, 0x200,     56, imagen, 60,  kDatos,      72,  0x100000, 80,  0x1000,
                    88, 0x100000,  96, 0x1000, 108, 16,          128, kRva,     132, tamano});
    // The section: initialised data, readable.
    f.replace(sec, 5, ".rsrc");
    Poner(f, sec, 4, {8, tamano, 12, kRva, 16, enArchivo, 20, kDatos, 36, 0x40000040u});
    return f + r;
}

} // namespace olvado::prueba
