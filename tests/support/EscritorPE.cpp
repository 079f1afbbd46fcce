#include "support/EscritorPE.h"

#include "base/Texto.h"

namespace olvado::prueba {
namespace {

void Poner16(std::string& s, std::size_t p, std::uint32_t v) {
    s[p] = static_cast<char>(v & 0xFF);
    s[p + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Poner32(std::string& s, std::size_t p, std::uint32_t v) {
    Poner16(s, p, v & 0xFFFF);
    Poner16(s, p + 2, v >> 16);
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
    Poner16(s, 0, static_cast<std::uint32_t>(s.size()));
    Poner16(s, 2, largoValor);
    Poner16(s, 4, tipo);
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
        Poner16(par, 0, idioma);
        Poner16(par, 2, pagina);
        traducciones += par;
    }
    const std::string var =
        Nodo("Translation", 0, traducciones, static_cast<std::uint16_t>(traducciones.size()), {});

    // VS_FIXEDFILEINFO: signature, structure version, then zeros.
    std::string fija(52, '\0');
    Poner32(fija, 0, 0xFEEF04BDu);
    Poner32(fija, 4, 0x00010000u);
    return Nodo("VS_VERSION_INFO", 0, fija, 52,
                {Nodo("StringFileInfo", 1, "", 0, tablas), Nodo("VarFileInfo", 1, "", 0, {var})});
}

std::string ArchivoPE(const std::string& bloque, std::uint16_t idioma) {
    constexpr std::uint32_t kRva = 0x1000, kDatos = 0x200;
    std::string f(kDatos, '\0');
    // DOS header: the magic and where the PE header starts.
    f[0] = 'M';
    f[1] = 'Z';
    Poner32(f, 0x3C, 0x40);
    // PE signature and file header: x64, one section, PE32+ optional header.
    f.replace(0x40, 4, std::string("PE\0\0", 4));
    Poner16(f, 0x44, 0x8664);
    Poner16(f, 0x46, 1);
    Poner16(f, 0x54, 240);
    Poner16(f, 0x56, 0x0022);

    // Resource section: three directory levels, one data entry, the block.
    std::string r(0x58, '\0');
    Poner16(r, 0x0E, 1);
    Poner32(r, 0x10, 16);
    Poner32(r, 0x14, 0x80000018u);
    Poner16(r, 0x18 + 0x0E, 1);
    Poner32(r, 0x18 + 0x10, 1);
    Poner32(r, 0x18 + 0x14, 0x80000030u);
    Poner16(r, 0x30 + 0x0E, 1);
    Poner32(r, 0x30 + 0x10, idioma);
    Poner32(r, 0x30 + 0x14, 0x48);
    Poner32(r, 0x48, kRva + 0x58);
    Poner32(r, 0x4C, static_cast<std::uint32_t>(bloque.size()));
    r += bloque;
    const std::uint32_t tamano = static_cast<std::uint32_t>(r.size());
    const std::uint32_t enArchivo = (tamano + 0x1FF) & ~0x1FFu;
    r.resize(enArchivo, '\0');

    const std::size_t o = 0x58; // optional header
    Poner16(f, o + 0, 0x20B);
    Poner32(f, o + 8, enArchivo);
    Poner32(f, o + 20, kRva);
    Poner32(f, o + 24, 0x40000000u); // image base 0x140000000
    Poner32(f, o + 28, 0x1);
    Poner32(f, o + 32, 0x1000); // section alignment
    Poner32(f, o + 36, 0x200);  // file alignment
    Poner16(f, o + 40, 6);
    Poner16(f, o + 48, 6);
    Poner32(f, o + 56, kRva + ((tamano + 0xFFF) & ~0xFFFu));
    Poner32(f, o + 60, kDatos);
    Poner16(f, o + 68, 2); // GUI
    Poner32(f, o + 72, 0x100000);
    Poner32(f, o + 80, 0x1000);
    Poner32(f, o + 88, 0x100000);
    Poner32(f, o + 96, 0x1000);
    Poner32(f, o + 108, 16);
    Poner32(f, o + 112 + 2 * 8, kRva);
    Poner32(f, o + 112 + 2 * 8 + 4, tamano);

    const std::size_t sec = o + 240;
    f.replace(sec, 5, ".rsrc");
    Poner32(f, sec + 8, tamano);
    Poner32(f, sec + 12, kRva);
    Poner32(f, sec + 16, enArchivo);
    Poner32(f, sec + 20, kDatos);
    Poner32(f, sec + 36, 0x40000040u); // initialised data, readable
    return f + r;
}

} // namespace olvado::prueba
