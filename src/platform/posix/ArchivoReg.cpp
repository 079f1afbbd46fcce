// POSIX only: the .reg text of the Linux registry stand-in, parsed and written.
#include "platform/posix/ArchivoReg.h"

#include "base/Texto.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <unordered_map>

namespace olvado::platform::reg {
namespace {

constexpr std::string_view kCabecera = "Windows Registry Editor Version 5.00";

std::string Clave_(const std::string& ruta) { return UCase(ruta); }

bool EsAncestro(const std::string& ancestro, const std::string& ruta) {
    if (ancestro.empty())
        return true;
    return ruta.size() > ancestro.size() && ruta[ancestro.size()] == '\\' &&
           ruta.compare(0, ancestro.size(), ancestro) == 0;
}

std::string Recortar(std::string_view s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string_view::npos)
        return {};
    size_t b = s.find_last_not_of(" \t");
    return std::string(s.substr(a, b - a + 1));
}

std::string Utf16LE(std::u16string_view u) {
    std::string b;
    for (char16_t c : u) {
        b.push_back(static_cast<char>(c & 0xFF));
        b.push_back(static_cast<char>(c >> 8));
    }
    return b;
}

// A quoted name or text starting at s[i] == '"'; i ends after the closing quote.
bool LeerEntreComillas(const std::string& s, size_t& i, std::string& out) {
    out.clear();
    for (++i; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"'))
            out.push_back(s[++i]);
        else if (s[i] == '"')
            return ++i, true;
        else
            out.push_back(s[i]);
    }
    return false;
}

// "01,02,ff" (blanks allowed around the bytes).
bool LeerBytes(const std::string& s, std::string& out) {
    out.clear();
    std::string t = Recortar(s);
    if (t.empty())
        return true;
    size_t i = 0;
    while (true) {
        size_t coma = t.find(',', i);
        std::string b = Recortar(t.substr(i, coma == std::string::npos ? std::string::npos : coma - i));
        if (b.empty() || b.size() > 2 || ValorDigitoHex(b[0]) < 0 || (b.size() == 2 && ValorDigitoHex(b[1]) < 0))
            return false;
        out.push_back(static_cast<char>(b.size() == 1 ? ValorDigitoHex(b[0]) : ValorDigitoHex(b[0]) * 16 + ValorDigitoHex(b[1])));
        if (coma == std::string::npos)
            return true;
        i = coma + 1;
    }
}

bool LeerDatos(const std::string& d, Valor& v) {
    if (!d.empty() && d[0] == '"') {
        size_t i = 0;
        std::string texto;
        if (!LeerEntreComillas(d, i, texto) || !Recortar(d.substr(i)).empty())
            return false;
        v.tipo = 1;
        v.datos = Utf16LE(AUtf16(texto)) + std::string(2, '\0');
        return true;
    }
    std::string minus = LCase(d.substr(0, std::min<size_t>(d.size(), 8)));
    if (minus.rfind("dword:", 0) == 0) {
        std::string h = Recortar(d.substr(6));
        if (h.empty() || h.size() > 8)
            return false;
        uint32_t n = 0;
        for (char c : h) {
            if (ValorDigitoHex(c) < 0)
                return false;
            n = n * 16 + static_cast<uint32_t>(ValorDigitoHex(c));
        }
        v.tipo = 4;
        v.datos.clear();
        for (int k = 0; k < 4; ++k)
            v.datos.push_back(static_cast<char>((n >> (8 * k)) & 0xFF));
        return true;
    }
    if (minus.rfind("hex:", 0) == 0) {
        v.tipo = 3;
        return LeerBytes(d.substr(4), v.datos);
    }
    if (minus.rfind("hex(", 0) == 0) {
        size_t cierre = d.find("):");
        if (cierre == std::string::npos || cierre <= 4 || cierre > 12)
            return false;
        uint32_t n = 0;
        for (size_t k = 4; k < cierre; ++k) {
            if (ValorDigitoHex(d[k]) < 0)
                return false;
            n = n * 16 + static_cast<uint32_t>(ValorDigitoHex(d[k]));
        }
        v.tipo = n;
        return LeerBytes(d.substr(cierre + 2), v.datos);
    }
    return false;
}

// "[HKEY_LOCAL_MACHINE\SOFTWARE\x]" -> "SOFTWARE\x" when the hive is this file's.
bool LeerSeccion(const std::string& linea, const std::string& raiz, std::string& ruta) {
    std::string dentro = linea.substr(1, linea.size() - 2);
    size_t barra = dentro.find('\\');
    std::string colmena = UCase(Recortar(dentro.substr(0, barra)));
    std::string resto = barra == std::string::npos ? std::string() : dentro.substr(barra + 1);
    bool maquina = raiz == "HKEY_LOCAL_MACHINE";
    if (colmena == raiz || (maquina && colmena == "HKLM") || (!maquina && colmena == "HKCU")) {
        ruta = UnirRuta("", resto);
        return true;
    }
    if (maquina && (colmena == "HKEY_CLASSES_ROOT" || colmena == "HKCR")) {
        ruta = UnirRuta("SOFTWARE\\Classes", resto);
        return true;
    }
    return false;
}

// Logical lines: CR LF or LF ends, a trailing "\" continues hex data on the next line.
std::vector<std::string> Lineas(std::string texto) {
    if (texto.rfind("\xEF\xBB\xBF", 0) == 0)
        texto.erase(0, 3);
    else if (texto.size() >= 2 && texto[0] == '\xFF' && texto[1] == '\xFE') {
        std::u16string u;
        for (size_t i = 2; i + 1 < texto.size(); i += 2)
            u.push_back(static_cast<char16_t>(static_cast<unsigned char>(texto[i]) |
                                              static_cast<unsigned char>(texto[i + 1]) << 8));
        texto = DesdeUtf16(u);
    }
    std::vector<std::string> lineas;
    bool continua = false;
    size_t i = 0;
    while (i <= texto.size()) {
        size_t fin = texto.find('\n', i);
        std::string l = texto.substr(i, fin == std::string::npos ? std::string::npos : fin - i);
        if (!l.empty() && l.back() == '\r')
            l.pop_back();
        l = Recortar(l);
        if (continua)
            lineas.back() += l;
        else
            lineas.push_back(l);
        continua = !lineas.back().empty() && lineas.back().back() == '\\' && lineas.back()[0] != '[';
        if (continua)
            lineas.back().pop_back();
        if (fin == std::string::npos)
            break;
        i = fin + 1;
    }
    return lineas;
}

std::string Comillas(const std::string& s) {
    std::string r = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"')
            r.push_back('\\');
        r.push_back(c);
    }
    return r + "\"";
}

// A REG_SZ that reads back the same from "name"="text": closed by one zero,
// no other zero, no line end.
bool TextoLimpio(const Valor& v, std::u16string& u) {
    if (v.tipo != 1 || v.datos.size() < 2 || v.datos.size() % 2)
        return false;
    u.clear();
    for (size_t i = 0; i < v.datos.size(); i += 2)
        u.push_back(static_cast<char16_t>(static_cast<unsigned char>(v.datos[i]) |
                                          static_cast<unsigned char>(v.datos[i + 1]) << 8));
    if (u.back() != 0)
        return false;
    u.pop_back();
    if (u.find_first_of(u"\0\r\n", 0, 3) != std::u16string::npos)
        return false;
    return AUtf16(DesdeUtf16(u)) == u;
}

std::string DatosTexto(const Valor& v) {
    std::u16string u;
    if (TextoLimpio(v, u))
        return Comillas(DesdeUtf16(u));
    char buf[16];
    if (v.tipo == 4 && v.datos.size() == 4) {
        uint32_t n = 0;
        for (int k = 3; k >= 0; --k)
            n = n << 8 | static_cast<unsigned char>(v.datos[static_cast<size_t>(k)]);
        std::snprintf(buf, sizeof buf, "dword:%08x", n);
        return buf;
    }
    std::string r = v.tipo == 3 ? "hex:" : (std::snprintf(buf, sizeof buf, "hex(%x):", v.tipo), buf);
    for (size_t i = 0; i < v.datos.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", static_cast<unsigned char>(v.datos[i]));
        r += buf;
    }
    return r;
}

} // namespace

bool MismoNombre(const std::string& a, const std::string& b) { return UCase(a) == UCase(b); }

std::string UnirRuta(const std::string& base, const std::string& sub) {
    std::string r;
    for (const std::string* s : {&base, &sub}) {
        size_t i = 0;
        while (i <= s->size()) {
            size_t fin = s->find('\\', i);
            std::string parte = s->substr(i, fin == std::string::npos ? std::string::npos : fin - i);
            if (!parte.empty())
                r += (r.empty() ? "" : "\\") + parte;
            if (fin == std::string::npos)
                break;
            i = fin + 1;
        }
    }
    return r;
}

Clave* Colmena::Buscar(const std::string& ruta) {
    std::string k = Clave_(ruta);
    for (auto& c : claves)
        if (Clave_(c.ruta) == k)
            return &c;
    return nullptr;
}

bool Colmena::Existe(const std::string& ruta) const {
    std::string k = Clave_(ruta);
    if (k.empty())
        return true;
    return std::any_of(claves.begin(), claves.end(), [&](const Clave& c) {
        std::string ck = Clave_(c.ruta);
        return ck == k || EsAncestro(k, ck);
    });
}

Clave& Colmena::Crear(const std::string& ruta) {
    size_t i = 0;
    while (true) {
        size_t fin = ruta.find('\\', i);
        std::string parcial = ruta.substr(0, fin);
        if (!parcial.empty() && !Buscar(parcial))
            claves.push_back({parcial, {}});
        if (fin == std::string::npos)
            break;
        i = fin + 1;
    }
    return ruta.empty() ? (Buscar("") ? *Buscar("") : claves.emplace_back()) : *Buscar(ruta);
}

std::vector<std::string> Colmena::SubClaves(const std::string& ruta) const {
    std::string k = Clave_(ruta);
    std::vector<std::string> nombres;
    for (const auto& c : claves) {
        std::string ck = Clave_(c.ruta);
        if (!EsAncestro(k, ck) || ck == k)
            continue;
        size_t desde = k.empty() ? 0 : k.size() + 1;
        size_t fin = c.ruta.find('\\', desde);
        std::string nombre = c.ruta.substr(desde, fin == std::string::npos ? std::string::npos : fin - desde);
        if (std::none_of(nombres.begin(), nombres.end(), [&](const std::string& n) { return MismoNombre(n, nombre); }))
            nombres.push_back(nombre);
    }
    return nombres;
}

bool Leer(const std::string& texto, const std::string& raiz, Colmena& c) {
    c = Colmena{raiz, {}};
    bool cabecera = false;
    size_t actual = SIZE_MAX; // index: adding keys may move them
    std::map<size_t, std::unordered_map<std::string, size_t>> indices;
    // Every key by its upper-case path: a section costs its own length, not
    // a search of all the keys before it (Crear's), which made big hives
    // quadratic. Adds the key and its missing ancestors as Crear does.
    std::unordered_map<std::string, size_t> porRuta;
    auto crear = [&](const std::string& ruta) {
        size_t i = 0, indice = 0;
        for (;;) {
            const size_t fin = ruta.find('\\', i);
            std::string parcial = ruta.substr(0, fin);
            auto [it, nueva] = porRuta.try_emplace(Clave_(parcial), c.claves.size());
            if (nueva)
                c.claves.push_back({std::move(parcial), {}});
            indice = it->second;
            if (fin == std::string::npos)
                return indice;
            i = fin + 1;
        }
    };
    for (const std::string& l : Lineas(texto)) {
        if (l.empty() || l[0] == ';')
            continue;
        if (!cabecera) {
            if (l != kCabecera)
                return false;
            cabecera = true;
        } else if (l[0] == '[') {
            std::string ruta;
            if (l.back() != ']' || l.size() < 3 || l[1] == '-' || !LeerSeccion(l, raiz, ruta))
                return false;
            actual = crear(ruta);
        } else {
            Valor v;
            size_t i = 0;
            if (l[0] == '@')
                i = 1;
            else if (l[0] != '"' || !LeerEntreComillas(l, i, v.nombre))
                return false;
            size_t igual = l.find_first_not_of(" \t", i);
            if (actual == SIZE_MAX || igual == std::string::npos || l[igual] != '=' ||
                !LeerDatos(Recortar(l.substr(igual + 1)), v))
                return false;
            // A name written twice keeps its last data (an index keeps big keys linear).
            auto& vs = c.claves[actual].valores;
            auto [it, nuevo] = indices[actual].try_emplace(UCase(v.nombre), vs.size());
            if (nuevo)
                vs.push_back(std::move(v));
            else
                vs[it->second] = std::move(v);
        }
    }
    // Only blanks and comments: an empty hive; anything else needs the header.
    return cabecera || c.claves.empty();
}

std::string Escribir(const Colmena& c) {
    std::string r = std::string(kCabecera) + "\r\n";
    for (const auto& k : c.claves) {
        r += "\r\n[" + c.raiz + (k.ruta.empty() ? "" : "\\" + k.ruta) + "]\r\n";
        for (const auto& v : k.valores)
            r += (v.nombre.empty() ? std::string("@") : Comillas(v.nombre)) + "=" + DatosTexto(v) + "\r\n";
    }
    return r;
}

} // namespace olvado::platform::reg
