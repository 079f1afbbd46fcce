// POSIX only: the line syntax of the registry editor's export format, for
// the Linux registry stand-in's hive files.
#include "platform/posix/SintaxisReg.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <algorithm>
#include <cstdio>

namespace olvado::platform::reg {

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
static bool LeerEntreComillas(const std::string& s, size_t& i, std::string& out) {
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
static bool LeerBytes(const std::string& s, std::string& out) {
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

// What follows an entry on its line: nothing, or a comment.
bool SoloComentario(std::string_view resto) {
    std::string r = Recortar(resto);
    return r.empty() || r[0] == ';';
}

// dword:, hex: and hex(n): data, a comment already cut off.
static bool LeerDatosSinTexto(const std::string& d, Valor& v) {
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


// Any data, a comment allowed after it.
static bool LeerDatos(const std::string& d, Valor& v) {
    if (!d.empty() && d[0] == '"') {
        size_t i = 0;
        std::string texto;
        if (!LeerEntreComillas(d, i, texto) || !SoloComentario(std::string_view(d).substr(i)))
            return false;
        v.tipo = 1;
        v.datos = Utf16LE(AUtf16(texto)) + std::string(2, '\0');
        return true;
    }
    return LeerDatosSinTexto(d.substr(0, d.find(';')), v);
}

// A root as a section names it, in full; "" for a name no registry has.
static std::string NombreRaiz(const std::string& n) {
    static const char* const kRaices[][2] = {{"HKLM", "HKEY_LOCAL_MACHINE"}, {"HKCU", "HKEY_CURRENT_USER"},
                                             {"HKCR", "HKEY_CLASSES_ROOT"},  {"HKU", "HKEY_USERS"},
                                             {"HKCC", "HKEY_CURRENT_CONFIG"}};
    const std::string u = UCase(n);
    for (const auto& r : kRaices)
        if (u == r[0] || u == r[1])
            return r[1];
    return "";
}

// "[HKEY_LOCAL_MACHINE\SOFTWARE\x] ; note" -> "SOFTWARE\x" when the root is
// this file's; borrar for "[-...]". A name may hold "]": the section ends at
// the first "]" that only blanks or a comment follow.
Seccion LeerSeccion(const std::string& l, const std::string& raiz, std::string& ruta, bool& borrar) {
    size_t cierre = l.find(']');
    while (cierre != std::string::npos && !SoloComentario(std::string_view(l).substr(cierre + 1)))
        cierre = l.find(']', cierre + 1);
    if (cierre == std::string::npos)
        return Seccion::Invalida;
    std::string dentro = l.substr(1, cierre - 1);
    borrar = !dentro.empty() && dentro[0] == '-';
    if (borrar)
        dentro.erase(0, 1);
    const size_t barra = dentro.find('\\');
    const std::string nombre = NombreRaiz(Recortar(std::string_view(dentro).substr(0, barra)));
    const std::string resto = barra == std::string::npos ? std::string() : dentro.substr(barra + 1);
    if (nombre.empty())
        return Seccion::Invalida;
    if (nombre == raiz) {
        ruta = UnirRuta("", resto);
        return Seccion::Propia;
    }
    if (raiz == "HKEY_LOCAL_MACHINE" && nombre == "HKEY_CLASSES_ROOT") {
        ruta = UnirRuta("SOFTWARE\\Classes", resto);
        return Seccion::Propia;
    }
    return Seccion::Ajena;
}

// `"name"=data`, `@=data` or `"name"=-` (borrado), a comment allowed after it.
bool LeerValor(const std::string& l, bool ansi, Valor& v, bool& borrado) {
    size_t i = 0;
    v = Valor{};
    if (l[0] == '@')
        i = 1;
    else if (l[0] != '"' || !LeerEntreComillas(l, i, v.nombre))
        return false;
    const size_t igual = l.find_first_not_of(" \t", i);
    if (igual == std::string::npos || l[igual] != '=')
        return false;
    const std::string d = Recortar(std::string_view(l).substr(igual + 1));
    borrado = !d.empty() && d[0] == '-';
    if (borrado)
        return SoloComentario(std::string_view(d).substr(1));
    if (!LeerDatos(d, v))
        return false;
    // A REGEDIT4 file keeps its texts in hex(1), hex(2) and hex(7) as ANSI bytes.
    if (ansi && d[0] != '"' && (v.tipo == 1 || v.tipo == 2 || v.tipo == 7))
        v.datos = Utf16LE(DecodificarAnsi(v.datos));
    return true;
}

bool SiguienteFisica(const std::string& t, size_t& i, Fisica& f) {
    if (i >= t.size())
        return false;
    size_t e = t.find_first_of("\r\n", i);
    if (e == std::string::npos)
        f = {i, t.size(), t.size()};
    else
        f = {i, e, e + (t[e] == '\r' && e + 1 < t.size() && t[e + 1] == '\n' ? 2 : 1)};
    i = f.siguiente;
    return true;
}

// An entry's text as the parser reads it: its lines trimmed, a continued
// line's closing "\" dropped, joined.
std::string Logica(std::string_view crudo) {
    std::string r, s(crudo);
    size_t i = 0;
    Fisica f{};
    while (SiguienteFisica(s, i, f)) {
        std::string l = Recortar(std::string_view(s).substr(f.inicio, f.fin - f.inicio));
        if (f.siguiente < s.size() && !l.empty() && l.back() == '\\')
            l.pop_back();
        r += l;
    }
    return r;
}

// True for a value line whose hex data goes on after a closing "\".
bool Continua(const std::string& l) {
    if (l.empty() || l.back() != '\\' || (l[0] != '"' && l[0] != '@'))
        return false;
    size_t i = 0;
    std::string nombre;
    if (l[0] == '"' && !LeerEntreComillas(l, i, nombre))
        return false;
    const size_t igual = l.find('=', l[0] == '@' ? 1 : i);
    return igual != std::string::npos && LCase(Recortar(std::string_view(l).substr(igual + 1, 4))).rfind("hex", 0) == 0;
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
static bool TextoLimpio(const Valor& v, std::u16string& u) {
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

static std::string DatosTexto(const Valor& v) {
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


// The first line that is neither blank nor a comment, trimmed.
std::string PrimeraEntrada(const std::string& t) {
    size_t i = 0;
    Fisica f{};
    while (SiguienteFisica(t, i, f)) {
        std::string l = Recortar(std::string_view(t).substr(f.inicio, f.fin - f.inicio));
        if (!l.empty() && l[0] != ';')
            return l;
    }
    return "";
}

std::string LineaValor(const Valor& v) {
    return (v.nombre.empty() ? std::string("@") : Comillas(v.nombre)) + "=" + DatosTexto(v);
}

} // namespace olvado::platform::reg
