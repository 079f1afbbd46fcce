// POSIX implementation of the ANSI code page: Windows-1252 through iconv.
#include "platform/TextoAnsi.h"

#include <cerrno>
#include <iconv.h>

namespace olvado::platform {
namespace {

struct Iconv {
    iconv_t cd;
    Iconv(const char* a, const char* de) : cd(iconv_open(a, de)) {}
    ~Iconv() {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
    bool Valido() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

// Converts one unit; answers false when iconv has no mapping for it.
bool Convertir(Iconv& cv, const char* entrada, size_t largoEntrada, char* salida, size_t& largoSalida) {
    char* in = const_cast<char*>(entrada);
    size_t quedaIn = largoEntrada;
    char* out = salida;
    size_t quedaOut = largoSalida;
    iconv(cv.cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cv.cd, &in, &quedaIn, &out, &quedaOut) == static_cast<size_t>(-1) || quedaIn != 0)
        return false;
    largoSalida = largoSalida - quedaOut;
    return true;
}

} // namespace

std::string CodificarAnsi(std::u16string_view texto) {
    std::string res;
    res.reserve(texto.size());
    Iconv cv("WINDOWS-1252", "UTF-16LE");
    for (size_t i = 0; i < texto.size(); ++i) {
        char16_t c = texto[i];
        if (c < 0x80) {
            res.push_back(static_cast<char>(c));
            continue;
        }
        // The five bytes that Windows-1252 leaves undefined decode to the C1
        // control of the same value (as MultiByteToWideChar does); encode back.
        if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) {
            res.push_back(static_cast<char>(c));
            continue;
        }
        // Surrogates have no mapping: one "?" per code unit, as WideCharToMultiByte does.
        bool suplente = c >= 0xD800 && c <= 0xDFFF;
        char in[4] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        char out[8];
        size_t largo = sizeof out;
        if (!suplente && cv.Valido() && Convertir(cv, in, 2, out, largo) && largo == 1)
            res.push_back(out[0]);
        else
            res.push_back('?');
    }
    return res;
}

std::u16string DecodificarAnsi(std::string_view bytes) {
    std::u16string res;
    res.reserve(bytes.size());
    Iconv cv("UTF-16LE", "WINDOWS-1252");
    for (unsigned char b : bytes) {
        if (b < 0x80) {
            res.push_back(b);
            continue;
        }
        char in[1] = {static_cast<char>(b)};
        char out[8];
        size_t largo = sizeof out;
        if (cv.Valido() && Convertir(cv, in, 1, out, largo) && largo == 2)
            res.push_back(static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                                (static_cast<unsigned char>(out[1]) << 8)));
        else
            res.push_back(b); // undefined in 1252: the C1 control of the same value
    }
    return res;
}

} // namespace olvado::platform
