#include "base/Texto.h"

namespace olvado {
namespace {

void AgregarUtf8(std::string& s, uint32_t cp) {
    if (cp < 0x80) {
        s.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        s.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        s.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        s.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        s.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one code point at i (advancing i); malformed input gives U+FFFD.
// Encoded surrogates are accepted so that lone code units round-trip.
uint32_t SiguienteCodigo(std::string_view s, size_t& i) {
    auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int largo = (b0 >= 0xF0 && b0 < 0xF5) ? 4 : (b0 >= 0xE0) && b0 < 0xF0 ? 3 : (b0 >= 0xC2 && b0 < 0xE0) ? 2 : 0;
    if (largo == 0 || i + largo > s.size()) {
        ++i;
        return 0xFFFD;
    }
    uint32_t cp = b0 & (0x7F >> largo);
    for (int k = 1; k < largo; ++k) {
        auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if ((largo == 3 && cp < 0x800) || (largo == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
        ++i;
        return 0xFFFD;
    }
    i += largo;
    return cp;
}

char16_t MayusculaLatina(char16_t c) {
    if (c >= u'a' && c <= u'z')
        return c - 32;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 32;
    if (c == 0xFF)
        return 0x178;
    if (c == 0x161 || c == 0x153 || c == 0x17E)
        return c - 1;
    return c;
}

char16_t MinusculaLatina(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return c + 32;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 32;
    if (c == 0x178)
        return 0xFF;
    if (c == 0x160 || c == 0x152 || c == 0x17D)
        return c + 1;
    return c;
}

} // namespace

std::u16string AUtf16(std::string_view utf8) {
    std::u16string res;
    res.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        uint32_t cp = SiguienteCodigo(utf8, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            res.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            res.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            res.push_back(static_cast<char16_t>(cp));
        }
    }
    return res;
}

std::string DesdeUtf16(std::u16string_view utf16) {
    std::string res;
    res.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        uint32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        AgregarUtf8(res, c);
    }
    return res;
}

int32_t Len(std::string_view texto) {
    int32_t n = 0;
    for (unsigned char b : texto) {
        if ((b & 0xC0) != 0x80)
            ++n;
        if (b >= 0xF0)
            ++n; // four-byte sequences are two code units
    }
    return n;
}

std::string Left(std::string_view texto, int32_t n) {
    if (n <= 0)
        return {};
    auto u = AUtf16(texto);
    if (static_cast<size_t>(n) >= u.size())
        return std::string(texto);
    return DesdeUtf16(std::u16string_view(u).substr(0, static_cast<size_t>(n)));
}

std::string Right(std::string_view texto, int32_t n) {
    if (n <= 0)
        return {};
    auto u = AUtf16(texto);
    if (static_cast<size_t>(n) >= u.size())
        return std::string(texto);
    return DesdeUtf16(std::u16string_view(u).substr(u.size() - static_cast<size_t>(n)));
}

std::string Mid(std::string_view texto, int32_t inicio, int32_t n) {
    if (inicio < 1 || n == 0)
        return {};
    auto u = AUtf16(texto);
    size_t desde = static_cast<size_t>(inicio - 1);
    if (desde >= u.size())
        return {};
    size_t cuantos = n < 0 ? std::u16string::npos : static_cast<size_t>(n);
    return DesdeUtf16(std::u16string_view(u).substr(desde, cuantos));
}

int32_t InStr(std::string_view texto, std::string_view buscado, int32_t inicio) {
    auto u = AUtf16(texto);
    if (inicio < 1 || static_cast<size_t>(inicio - 1) > u.size())
        return 0;
    if (buscado.empty())
        return inicio;
    auto pos = u.find(AUtf16(buscado), static_cast<size_t>(inicio - 1));
    return pos == std::u16string::npos ? 0 : static_cast<int32_t>(pos) + 1;
}

int32_t InStrRev(std::string_view texto, std::string_view buscado) {
    auto u = AUtf16(texto);
    auto pos = u.rfind(AUtf16(buscado));
    return pos == std::u16string::npos ? 0 : static_cast<int32_t>(pos) + 1;
}

std::string LTrim(std::string_view texto) {
    size_t i = texto.find_first_not_of(' ');
    return i == std::string_view::npos ? std::string() : std::string(texto.substr(i));
}

std::string RTrim(std::string_view texto) {
    size_t i = texto.find_last_not_of(' ');
    return i == std::string_view::npos ? std::string() : std::string(texto.substr(0, i + 1));
}

std::string Trim(std::string_view texto) { return LTrim(RTrim(texto)); }

// Keys, names and SQL are nearly always plain ASCII: they change case in
// place, without the round trip through UTF-16 (a hive's parse spends most of
// its time there).
namespace {
bool SoloAscii(std::string_view texto) {
    for (unsigned char c : texto)
        if (c >= 0x80)
            return false;
    return true;
}
} // namespace

std::string UCase(std::string_view texto) {
    if (SoloAscii(texto)) {
        std::string r(texto);
        for (char& c : r)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 32);
        return r;
    }
    auto u = AUtf16(texto);
    for (auto& c : u)
        c = MayusculaLatina(c);
    return DesdeUtf16(u);
}

std::string LCase(std::string_view texto) {
    if (SoloAscii(texto)) {
        std::string r(texto);
        for (char& c : r)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        return r;
    }
    auto u = AUtf16(texto);
    for (auto& c : u)
        c = MinusculaLatina(c);
    return DesdeUtf16(u);
}

std::string Replace(std::string_view texto, std::string_view buscado, std::string_view reemplazo) {
    if (buscado.empty())
        return std::string(texto);
    std::string res;
    size_t i = 0;
    for (size_t p; (p = texto.find(buscado, i)) != std::string_view::npos; i = p + buscado.size()) {
        res.append(texto.substr(i, p - i));
        res.append(reemplazo);
    }
    res.append(texto.substr(i));
    return res;
}

std::string EscaparControles(std::string_view texto) {
    static const char hex[] = "0123456789ABCDEF";
    auto escapar = [](std::string& r, unsigned char b) {
        r += "\\x";
        r += hex[b >> 4];
        r += hex[b & 0xF];
    };
    std::string r;
    r.reserve(texto.size());
    for (size_t i = 0; i < texto.size(); ++i) {
        const auto b = static_cast<unsigned char>(texto[i]);
        const auto sig = i + 1 < texto.size() ? static_cast<unsigned char>(texto[i + 1]) : 0;
        if (b < 0x20 || b == 0x7F) {
            escapar(r, b);
        } else if (b == 0xC2 && sig >= 0x80 && sig <= 0x9F) {
            escapar(r, b);
            escapar(r, sig);
            ++i;
        } else {
            r += static_cast<char>(b);
        }
    }
    return r;
}

int ValorDigitoHex(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string BytesAHex(const void* datos, size_t n) {
    static constexpr char kDigitos[] = "0123456789ABCDEF";
    const auto* p = static_cast<const uint8_t*>(datos);
    std::string r;
    r.reserve(n * 2);
    for (size_t i = 0; i < n; ++i) {
        r += kDigitos[p[i] >> 4];
        r += kDigitos[p[i] & 15];
    }
    return r;
}

void BorrarSecreto(std::string& s) {
    for (auto& c : s)
        const_cast<volatile char&>(c) = '\0';
    s.clear();
}

} // namespace olvado
