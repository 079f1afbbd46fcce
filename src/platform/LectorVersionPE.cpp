// Portable code only: the PE and VS_VERSIONINFO layouts, read byte by byte.
#include "platform/LectorVersionPE.h"
#include "platform/ArchivoNativo.h"

#include <vector>

namespace olvado::platform {
namespace {

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kVsVersionInfo = 1;
// wLength is 16-bit: no genuine version resource is longer.
constexpr std::uint32_t kMaxRecurso = 0x10000;
// The loader refuses more sections than this.
constexpr std::uint32_t kMaxSecciones = 96;

std::uint16_t U16(std::string_view s, std::size_t p) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[p]) | (static_cast<unsigned char>(s[p + 1]) << 8));
}

std::uint32_t U32(std::string_view s, std::size_t p) {
    return static_cast<std::uint32_t>(U16(s, p)) | (static_cast<std::uint32_t>(U16(s, p + 2)) << 16);
}

struct Seccion {
    std::uint32_t va, tamanoVirtual, tamanoDatos, punteroDatos;
};

// The file's view of a PE image: its section table, to find RVAs in the file.
class ImagenPE {
public:
    explicit ImagenPE(const FuenteBytes& f) : f_(f) {}

    // Headers read; false for anything that is not a PE file.
    bool Abrir(std::uint32_t& rvaRecursos);
    // largo bytes at rva, which must lie inside one section's file data.
    bool LeerRva(std::uint32_t rva, std::size_t largo, std::string& destino) const;

private:
    const FuenteBytes& f_;
    std::vector<Seccion> secciones_;
};

bool ImagenPE::Abrir(std::uint32_t& rvaRecursos) {
    std::string s;
    if (!f_.Leer(0, 64, s) || s[0] != 'M' || s[1] != 'Z')
        return false;
    const std::uint64_t pe = U32(s, 0x3C);
    if (!f_.Leer(pe, 24, s) || s.compare(0, 4, std::string_view("PE\0\0", 4)) != 0)
        return false;
    const std::uint32_t numSecciones = U16(s, 6);
    const std::uint32_t tamanoOpcional = U16(s, 20);
    if (numSecciones > kMaxSecciones || !f_.Leer(pe + 24, tamanoOpcional, s) || tamanoOpcional < 2)
        return false;

    // The data directories follow the fields that differ between PE32 and PE32+.
    std::size_t campoNumero = 0;
    if (U16(s, 0) == 0x10B)
        campoNumero = 92;
    else if (U16(s, 0) == 0x20B)
        campoNumero = 108;
    else
        return false;
    const std::size_t directorioRecursos = campoNumero + 4 + 2 * 8;
    if (tamanoOpcional < directorioRecursos + 8 || U32(s, campoNumero) < 3)
        return false;
    rvaRecursos = U32(s, directorioRecursos);
    if (rvaRecursos == 0)
        return false;

    std::string tabla;
    if (!f_.Leer(pe + 24 + tamanoOpcional, 40 * static_cast<std::size_t>(numSecciones), tabla))
        return false;
    for (std::uint32_t i = 0; i < numSecciones; ++i)
        secciones_.push_back({U32(tabla, 40 * i + 12), U32(tabla, 40 * i + 8), U32(tabla, 40 * i + 16),
                              U32(tabla, 40 * i + 20)});
    return true;
}

bool ImagenPE::LeerRva(std::uint32_t rva, std::size_t largo, std::string& destino) const {
    for (const Seccion& sec : secciones_) {
        const std::uint64_t desde = rva, hasta = desde + largo;
        const std::uint64_t tamano = sec.tamanoDatos;
        if (desde >= sec.va && hasta <= std::uint64_t{sec.va} + tamano)
            return f_.Leer(std::uint64_t{sec.punteroDatos} + (desde - sec.va), largo, destino);
    }
    return false;
}

// One level of the resource directory: the OffsetToData of the entry with
// the numeric id (any id when primero is true: the first entry).
bool BuscarEntrada(const ImagenPE& img, std::uint32_t rvaBase, std::uint32_t desplazamiento, std::uint32_t id,
                   bool primero, std::uint32_t& datos) {
    std::string s;
    if (!img.LeerRva(rvaBase + desplazamiento, 16, s))
        return false;
    const std::uint32_t entradas = static_cast<std::uint32_t>(U16(s, 12)) + U16(s, 14);
    if (entradas == 0 || !img.LeerRva(rvaBase + desplazamiento + 16, 8 * static_cast<std::size_t>(entradas), s))
        return false;
    for (std::uint32_t i = 0; i < entradas; ++i) {
        const std::uint32_t nombre = U32(s, 8 * i);
        if (primero || nombre == id) {
            datos = U32(s, 8 * i + 4);
            return true;
        }
    }
    return false;
}

} // namespace

bool FuenteMemoria::Leer(std::uint64_t posicion, std::size_t largo, std::string& destino) const {
    if (posicion > datos_.size() || largo > datos_.size() - posicion)
        return false;
    destino.assign(datos_.substr(static_cast<std::size_t>(posicion), largo));
    return true;
}

bool LeerRecursoVersionPE(const FuenteBytes& fuente, std::string& recurso) {
    ImagenPE img(fuente);
    std::uint32_t base = 0;
    if (!img.Abrir(base))
        return false;
    // Type and name are subdirectories (high bit set); the language entry is a leaf.
    constexpr std::uint32_t kSubdirectorio = 0x80000000u;
    std::uint32_t tipo = 0, nombre = 0, idioma = 0;
    if (!BuscarEntrada(img, base, 0, kRtVersion, false, tipo) || !(tipo & kSubdirectorio) ||
        !BuscarEntrada(img, base, tipo & ~kSubdirectorio, kVsVersionInfo, false, nombre) ||
        !(nombre & kSubdirectorio) ||
        !BuscarEntrada(img, base, nombre & ~kSubdirectorio, 0, true, idioma) || (idioma & kSubdirectorio))
        return false;
    std::string entrada;
    if (!img.LeerRva(base + idioma, 16, entrada))
        return false;
    const std::uint32_t tamano = U32(entrada, 4);
    return tamano >= 6 && img.LeerRva(U32(entrada, 0), tamano < kMaxRecurso ? tamano : kMaxRecurso, recurso);
}

namespace {

// Through ArchivoNativo: a FIFO or device named like the program is refused
// at once instead of blocking the read.
class FuenteArchivo : public FuenteBytes {
public:
    explicit FuenteArchivo(const std::string& ruta) {
        if (archivo_.Abrir(ruta, ArchivoNativo::Modo::Leer)) {
            const int64_t t = archivo_.Tamano();
            tamano_ = t > 0 ? static_cast<std::uint64_t>(t) : 0;
        }
    }
    bool Abierto() const { return archivo_.Abierto(); }
    bool Leer(std::uint64_t posicion, std::size_t largo, std::string& destino) const override {
        if (posicion > tamano_ || largo > tamano_ - posicion)
            return false;
        destino.resize(largo);
        size_t leidos = 0;
        return archivo_.IrA(static_cast<int64_t>(posicion)) && archivo_.Leer(destino.data(), largo, leidos) &&
               leidos == largo;
    }

private:
    mutable ArchivoNativo archivo_;
    std::uint64_t tamano_ = 0;
};

// One node of VS_VERSIONINFO: wLength, wValueLength, wType, the UTF-16 key,
// padding to 32 bits, the value, padding, the children.
struct Nodo {
    std::size_t inicio = 0, fin = 0;
    std::u16string clave;
    std::size_t valor = 0, largoValor = 0, hijos = 0;
    bool texto = false;
};

std::size_t Alinear4(std::size_t p) { return (p + 3) & ~std::size_t{3}; }

// The node at inicio, inside [.., limite). Lengths that claim more than the
// parent holds are cut at the parent's end, as the Windows walk tolerates.
bool LeerNodo(std::string_view r, std::size_t inicio, std::size_t limite, Nodo& n) {
    if (inicio > limite || limite - inicio < 6)
        return false;
    const std::size_t largo = U16(r, inicio);
    if (largo < 6)
        return false;
    n.inicio = inicio;
    n.fin = inicio + largo < limite ? inicio + largo : limite;
    n.texto = U16(r, inicio + 4) == 1;
    n.clave.clear();
    std::size_t p = inicio + 6;
    for (;; p += 2) {
        if (p + 2 > n.fin)
            return false; // key without its NUL
        const char16_t c = U16(r, p);
        if (c == 0)
            break;
        n.clave.push_back(c);
    }
    n.valor = Alinear4(p + 2);
    if (n.valor > n.fin)
        n.valor = n.fin;
    const std::size_t bytesValor = static_cast<std::size_t>(U16(r, inicio + 2)) * (n.texto ? 2 : 1);
    n.largoValor = bytesValor < n.fin - n.valor ? bytesValor : n.fin - n.valor;
    n.largoValor -= n.texto ? n.largoValor % 2 : 0;
    n.hijos = Alinear4(n.valor + n.largoValor);
    return true;
}

char16_t Minuscula(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<char16_t>(c + 32);
    return c;
}

bool MismaClave(const std::u16string& a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Minuscula(a[i]) != Minuscula(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool BuscarHijo(std::string_view r, const Nodo& padre, std::string_view clave, Nodo& hijo) {
    for (std::size_t p = padre.hijos; p < padre.fin;) {
        if (!LeerNodo(r, p, padre.fin, hijo))
            return false;
        if (MismaClave(hijo.clave, clave))
            return true;
        p = Alinear4(hijo.inicio + U16(r, hijo.inicio));
    }
    return false;
}

} // namespace

bool LeerRecursoVersionPE(const std::string& rutaArchivo, std::string& recurso) {
    FuenteArchivo f(rutaArchivo);
    return f.Abierto() && LeerRecursoVersionPE(f, recurso);
}

bool ConsultarValorVersion(std::string_view recurso, std::string_view subBloque, std::string& valor,
                           bool& esTexto) {
    Nodo nodo;
    if (!LeerNodo(recurso, 0, recurso.size(), nodo))
        return false;
    std::size_t p = 0;
    while (p < subBloque.size()) {
        const std::size_t barra = subBloque.find('\\', p);
        const std::size_t fin = barra == std::string_view::npos ? subBloque.size() : barra;
        if (fin > p) {
            Nodo hijo;
            if (!BuscarHijo(recurso, nodo, subBloque.substr(p, fin - p), hijo))
                return false;
            nodo = hijo;
        }
        p = fin + 1;
    }
    valor.assign(recurso.substr(nodo.valor, nodo.largoValor));
    esTexto = nodo.texto;
    return true;
}

} // namespace olvado::platform
