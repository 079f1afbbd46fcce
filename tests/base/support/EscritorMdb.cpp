#include "EscritorMdb.h"

#include <array>
#include <stdexcept>

namespace olvado::prueba {
namespace {

constexpr size_t kPagina = 4096;
using Pagina = std::string;

// Little-endian, as every number of the format.
void Pon(std::string& b, size_t at, uint32_t v, int bytes = 2) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<char>(v >> (8 * i));
}
void Mas16(std::string& b, uint32_t v) {
    b.append(2, '\0'), Pon(b, b.size() - 2, v);
}

// Jet 4 keeps text as UCS-2; the tests use ASCII only.
std::string Ucs2(const std::string& s) {
    std::string r;
    for (char c : s)
        r += c, r += '\0';
    return r;
}

// A data page (type 1) of table `tdef`: row offsets after the header, rows
// packed from the end of the page down.
Pagina PaginaDatos(uint32_t tdef, const std::vector<std::string>& filas) {
    Pagina p(kPagina, '\0');
    p[0] = 1, p[1] = 1;
    Pon(p, 4, tdef, 4);
    Pon(p, 12, static_cast<uint32_t>(filas.size()));
    size_t fin = kPagina, cabecera = 14 + 2 * filas.size();
    for (size_t i = 0; i < filas.size(); ++i) {
        fin -= filas[i].size();
        if (fin < cabecera)
            throw std::length_error("EscritorMdb: more rows than a page holds");
        p.replace(fin, filas[i].size(), filas[i]);
        Pon(p, 14 + 2 * i, static_cast<uint32_t>(fin));
    }
    Pon(p, 2, static_cast<uint32_t>(fin - cabecera));
    return p;
}

// A row: column count, fixed columns, variable columns, then from the end the
// null mask, the variable column count, their offsets (last first) and the end
// of the variable data.
std::string Fila(const TablaMdb& t, const std::vector<std::optional<std::string>>& valores) {
    std::string fijas, variables, mascara((t.columnas.size() + 7) / 8, '\0');
    std::vector<uint32_t> inicios;
    for (size_t i = 0; i < t.columnas.size(); ++i) {
        const auto& v = valores.at(i);
        if (v)
            mascara[i / 8] = static_cast<char>(mascara[i / 8] | (1 << (i % 8)));
        if (t.columnas[i].tipo == kMdbLargo) {
            fijas.append(4, '\0');
            Pon(fijas, fijas.size() - 4, v ? static_cast<uint32_t>(std::stol(*v)) : 0, 4);
        } else {
            inicios.push_back(static_cast<uint32_t>(variables.size()));
            if (v && t.columnas[i].tipo == kMdbOle)
                throw std::invalid_argument("EscritorMdb: OLE values are written Null only");
            if (v)
                variables += Ucs2(*v);
        }
    }
    std::string f;
    Mas16(f, static_cast<uint32_t>(t.columnas.size()));
    f += fijas + variables;
    Mas16(f, static_cast<uint32_t>(f.size()));
    for (auto i = inicios.rbegin(); i != inicios.rend(); ++i)
        Mas16(f, static_cast<uint32_t>(2 + fijas.size() + *i));
    Mas16(f, static_cast<uint32_t>(inicios.size()));
    return f + mascara;
}

std::vector<std::string> Filas(const TablaMdb& t) {
    std::vector<std::string> r;
    for (auto& f : t.filas)
        r.push_back(Fila(t, f));
    return r;
}

// The table definition page (type 2): header, one 25-byte entry per column,
// then the names. `mapas` is the row on page 1 holding its usage map (the free
// space map is the next row).
Pagina Definicion(const TablaMdb& t, bool sistema, uint32_t mapas) {
    std::string d(63, '\0');
    d[0] = 2, d[1] = 1;
    Pon(d, 16, static_cast<uint32_t>(t.filas.size()), 4);
    d[40] = sistema ? 0x53 : 0x4E;
    uint32_t nvar = 0, fijo = 0, n = static_cast<uint32_t>(t.columnas.size());
    for (auto& c : t.columnas)
        nvar += c.tipo != kMdbLargo;
    Pon(d, 41, n), Pon(d, 43, nvar), Pon(d, 45, n);
    Pon(d, 55, (1u << 8) | mapas, 4), Pon(d, 59, (1u << 8) | (mapas + 1), 4);
    uint32_t var = 0;
    for (uint32_t i = 0; i < n; ++i) {
        std::string e(25, '\0');
        const bool entero = t.columnas[i].tipo == kMdbLargo;
        e[0] = static_cast<char>(t.columnas[i].tipo);
        Pon(e, 5, i), Pon(e, 7, entero ? 0 : var++), Pon(e, 9, i);
        if (t.columnas[i].tipo == kMdbTexto)
            Pon(e, 11, 0x409);        // general sort order
        e[15] = entero ? 0x03 : 0x02; // fixed length | nullable
        Pon(e, 21, entero ? fijo : 0), Pon(e, 23, entero ? 4 : t.columnas[i].tipo == kMdbTexto ? 510 : 0);
        fijo += entero ? 4 : 0;
        d += e;
    }
    for (auto& c : t.columnas)
        Mas16(d, static_cast<uint32_t>(2 * c.nombre.size())), d += Ucs2(c.nombre);
    Pon(d, 8, static_cast<uint32_t>(d.size() - 8), 4);
    Pon(d, 2, static_cast<uint32_t>(kPagina - d.size() - 8));
    return d + std::string(kPagina - d.size(), '\0');
}

// Page 0: the Jet 4 version byte and the region every reader unmasks with RC4
// under a fixed key; a clear region of zeros means no database key.
Pagina Cabecera() {
    Pagina p(kPagina, '\0');
    p[1] = 1;
    p.replace(4, 15, std::string("Standard Jet DB", 15));
    p[0x14] = 1;
    std::string claro(128, '\0');
    Pon(claro, 0x6E - 0x18, 0x409);
    std::array<uint8_t, 256> s{};
    const uint8_t clave[4] = {0xC7, 0xDA, 0x39, 0x6B};
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<uint8_t>(i);
    for (int i = 0, j = 0; i < 256; ++i)
        j = (j + s[i] + clave[i % 4]) & 0xFF, std::swap(s[i], s[j]);
    for (int k = 0, i = 0, j = 0; k < 128; ++k) {
        i = (i + 1) & 0xFF, j = (j + s[i]) & 0xFF, std::swap(s[i], s[j]);
        p[0x18 + k] = static_cast<char>(claro[k] ^ s[(s[i] + s[j]) & 0xFF]);
    }
    return p;
}

// A usage map of type 0: the pages it owns, as bits from page 0.
std::string Mapa(uint32_t pagina) {
    std::string m(5 + 64, '\0');
    m[5 + pagina / 8] = static_cast<char>(1 << (pagina % 8));
    return m;
}

} // namespace

std::string ArchivoMdb(const std::vector<TablaMdb>& tablas) {
    // Page 1 holds the usage maps, 2/3 the catalog's definition and rows, then
    // a definition and a data page per table.
    TablaMdb catalogo{"MSysObjects", {}, {}};
    for (const char* n : {"Id", "ParentId", "Name", "Type", "Flags", "LvProp"})
        catalogo.columnas.push_back({n, *n == 'N' ? kMdbTexto : *n == 'L' ? kMdbOle : kMdbLargo});
    std::vector<std::string> mapas{Mapa(3), Mapa(3)};
    std::string paginas;
    for (size_t i = 0; i < tablas.size(); ++i) {
        const uint32_t tdef = static_cast<uint32_t>(4 + 2 * i);
        catalogo.filas.push_back({std::to_string(tdef), "0", tablas[i].nombre, "1", "0", std::nullopt});
        paginas += Definicion(tablas[i], false, static_cast<uint32_t>(mapas.size())) +
                   PaginaDatos(tdef, Filas(tablas[i]));
        mapas.push_back(Mapa(tdef + 1)), mapas.push_back(Mapa(tdef + 1));
    }
    return Cabecera() + PaginaDatos(0, mapas) + Definicion(catalogo, true, 0) +
           PaginaDatos(2, Filas(catalogo)) + paginas;
}

} // namespace olvado::prueba
