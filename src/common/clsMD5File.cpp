#include "common/clsMD5File.h"

#include "base/ErrorOlvado.h"
#include "base/Texto.h"
#include "platform/ArchivoNativo.h"
#include "platform/TextoAnsi.h"

#include <cstring>
#include <memory>

namespace olvado {
namespace {

// Files are read in pieces this large: big enough that reading costs little
// beside the transform, small enough to stay in the cache and to keep memory
// constant whatever the package's size.
constexpr std::size_t kTamanoLectura = 256 * 1024;

inline std::uint32_t Rotar(std::uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

inline std::uint32_t Palabra(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The four rounds of RFC 1321, one step each. F and I are written in forms
// with one operation fewer; G adds its two halves separately because they
// never share a bit, which lets the (c & ~d) half start before b is known.
#define MD5_F(a, b, c, d, x, s, t) \
    a += ((d) ^ ((b) & ((c) ^ (d)))) + (x) + (t); a = Rotar(a, s) + (b)
#define MD5_G(a, b, c, d, x, s, t) \
    a += ((c) & ~(d)) + (x) + (t); a += (b) & (d); a = Rotar(a, s) + (b)
#define MD5_H(a, b, c, d, x, s, t) \
    a += ((b) ^ (c) ^ (d)) + (x) + (t); a = Rotar(a, s) + (b)
#define MD5_I(a, b, c, d, x, s, t) \
    a += ((c) ^ ((b) | ~(d))) + (x) + (t); a = Rotar(a, s) + (b)

char DigitoHex(unsigned v) { return "0123456789ABCDEF"[v & 15]; }

[[noreturn]] void ErrorArchivo(int32_t numero, const std::string& descripcion) {
    throw ErrorOlvado(numero, "clsMD5File", descripcion);
}

} // namespace

clsMD5File::clsMD5File() { MD5Init(); }

std::string clsMD5File::RegisterA() const { return std::to_string(static_cast<int32_t>(State[0])); }
std::string clsMD5File::RegisterB() const { return std::to_string(static_cast<int32_t>(State[1])); }
std::string clsMD5File::RegisterC() const { return std::to_string(static_cast<int32_t>(State[2])); }
std::string clsMD5File::RegisterD() const { return std::to_string(static_cast<int32_t>(State[3])); }

void clsMD5File::MD5Init() {
    State[0] = 0x67452301u;
    State[1] = 0xEFCDAB89u;
    State[2] = 0x98BADCFEu;
    State[3] = 0x10325476u;
    ByteCounter = 0;
    std::memset(ByteBuffer, 0, sizeof ByteBuffer);
}

int32_t clsMD5File::LongLeftRotate(int32_t value, int32_t bits) {
    const int s = ((bits % 32) + 32) % 32;
    const auto v = static_cast<std::uint32_t>(value);
    return static_cast<int32_t>(s == 0 ? v : Rotar(v, s));
}

void clsMD5File::Transformar(const std::uint8_t* p) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = Palabra(p + 4 * i);
    std::uint32_t a = State[0], b = State[1], c = State[2], d = State[3];

    MD5_F(a, b, c, d, x[0], 7, 0xd76aa478u);   MD5_F(d, a, b, c, x[1], 12, 0xe8c7b756u);
    MD5_F(c, d, a, b, x[2], 17, 0x242070dbu);  MD5_F(b, c, d, a, x[3], 22, 0xc1bdceeeu);
    MD5_F(a, b, c, d, x[4], 7, 0xf57c0fafu);   MD5_F(d, a, b, c, x[5], 12, 0x4787c62au);
    MD5_F(c, d, a, b, x[6], 17, 0xa8304613u);  MD5_F(b, c, d, a, x[7], 22, 0xfd469501u);
    MD5_F(a, b, c, d, x[8], 7, 0x698098d8u);   MD5_F(d, a, b, c, x[9], 12, 0x8b44f7afu);
    MD5_F(c, d, a, b, x[10], 17, 0xffff5bb1u); MD5_F(b, c, d, a, x[11], 22, 0x895cd7beu);
    MD5_F(a, b, c, d, x[12], 7, 0x6b901122u);  MD5_F(d, a, b, c, x[13], 12, 0xfd987193u);
    MD5_F(c, d, a, b, x[14], 17, 0xa679438eu); MD5_F(b, c, d, a, x[15], 22, 0x49b40821u);

    MD5_G(a, b, c, d, x[1], 5, 0xf61e2562u);   MD5_G(d, a, b, c, x[6], 9, 0xc040b340u);
    MD5_G(c, d, a, b, x[11], 14, 0x265e5a51u); MD5_G(b, c, d, a, x[0], 20, 0xe9b6c7aau);
    MD5_G(a, b, c, d, x[5], 5, 0xd62f105du);   MD5_G(d, a, b, c, x[10], 9, 0x02441453u);
    MD5_G(c, d, a, b, x[15], 14, 0xd8a1e681u); MD5_G(b, c, d, a, x[4], 20, 0xe7d3fbc8u);
    MD5_G(a, b, c, d, x[9], 5, 0x21e1cde6u);   MD5_G(d, a, b, c, x[14], 9, 0xc33707d6u);
    MD5_G(c, d, a, b, x[3], 14, 0xf4d50d87u);  MD5_G(b, c, d, a, x[8], 20, 0x455a14edu);
    MD5_G(a, b, c, d, x[13], 5, 0xa9e3e905u);  MD5_G(d, a, b, c, x[2], 9, 0xfcefa3f8u);
    MD5_G(c, d, a, b, x[7], 14, 0x676f02d9u);  MD5_G(b, c, d, a, x[12], 20, 0x8d2a4c8au);

    MD5_H(a, b, c, d, x[5], 4, 0xfffa3942u);   MD5_H(d, a, b, c, x[8], 11, 0x8771f681u);
    MD5_H(c, d, a, b, x[11], 16, 0x6d9d6122u); MD5_H(b, c, d, a, x[14], 23, 0xfde5380cu);
    MD5_H(a, b, c, d, x[1], 4, 0xa4beea44u);   MD5_H(d, a, b, c, x[4], 11, 0x4bdecfa9u);
    MD5_H(c, d, a, b, x[7], 16, 0xf6bb4b60u);  MD5_H(b, c, d, a, x[10], 23, 0xbebfbc70u);
    MD5_H(a, b, c, d, x[13], 4, 0x289b7ec6u);  MD5_H(d, a, b, c, x[0], 11, 0xeaa127fau);
    MD5_H(c, d, a, b, x[3], 16, 0xd4ef3085u);  MD5_H(b, c, d, a, x[6], 23, 0x04881d05u);
    MD5_H(a, b, c, d, x[9], 4, 0xd9d4d039u);   MD5_H(d, a, b, c, x[12], 11, 0xe6db99e5u);
    MD5_H(c, d, a, b, x[15], 16, 0x1fa27cf8u); MD5_H(b, c, d, a, x[2], 23, 0xc4ac5665u);

    MD5_I(a, b, c, d, x[0], 6, 0xf4292244u);   MD5_I(d, a, b, c, x[7], 10, 0x432aff97u);
    MD5_I(c, d, a, b, x[14], 15, 0xab9423a7u); MD5_I(b, c, d, a, x[5], 21, 0xfc93a039u);
    MD5_I(a, b, c, d, x[12], 6, 0x655b59c3u);  MD5_I(d, a, b, c, x[3], 10, 0x8f0ccc92u);
    MD5_I(c, d, a, b, x[10], 15, 0xffeff47du); MD5_I(b, c, d, a, x[1], 21, 0x85845dd1u);
    MD5_I(a, b, c, d, x[8], 6, 0x6fa87e4fu);   MD5_I(d, a, b, c, x[15], 10, 0xfe2ce6e0u);
    MD5_I(c, d, a, b, x[6], 15, 0xa3014314u);  MD5_I(b, c, d, a, x[13], 21, 0x4e0811a1u);
    MD5_I(a, b, c, d, x[4], 6, 0xf7537e82u);   MD5_I(d, a, b, c, x[11], 10, 0xbd3af235u);
    MD5_I(c, d, a, b, x[2], 15, 0x2ad7d2bbu);  MD5_I(b, c, d, a, x[9], 21, 0xeb86d391u);

    State[0] += a;
    State[1] += b;
    State[2] += c;
    State[3] += d;
}

void clsMD5File::TransformarBloques(const std::uint8_t* datos, std::size_t bloques) {
    for (std::size_t i = 0; i < bloques; ++i)
        Transformar(datos + 64 * i);
}

void clsMD5File::MD5Update(int32_t InputLen, const std::uint8_t* InputBuffer) {
    if (InputLen < 1)
        return;
    auto largo = static_cast<std::size_t>(InputLen);
    std::size_t b = static_cast<std::size_t>(ByteCounter % 64);
    ByteCounter += largo;
    if (b > 0) {
        const std::size_t falta = 64 - b;
        if (largo < falta) {
            std::memcpy(ByteBuffer + b, InputBuffer, largo);
            return;
        }
        std::memcpy(ByteBuffer + b, InputBuffer, falta);
        Transformar(ByteBuffer);
        InputBuffer += falta;
        largo -= falta;
    }
    // Whole blocks straight from the caller's buffer, no copy.
    TransformarBloques(InputBuffer, largo / 64);
    std::memcpy(ByteBuffer, InputBuffer + (largo / 64) * 64, largo % 64);
}

void clsMD5File::MD5Update(std::string_view bytes) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::size_t queda = bytes.size();
    while (queda > 0) {
        const std::size_t trozo = queda < kTamanoLectura ? queda : kTamanoLectura;
        MD5Update(static_cast<int32_t>(trozo), p);
        p += trozo;
        queda -= trozo;
    }
}

void clsMD5File::MD5Final() {
    // Padding as RFC 1321 fixes it, for every length, as the publisher's
    // standard tools compute it: 0x80 and zeros up to 56 bytes into a block,
    // i.e. 56 - b bytes when b < 56, and 120 - b (a whole extra block, 64
    // bytes when b is 56) when b >= 56. The bit length that follows is 64-bit,
    // so messages of 256 MiB and more digest instead of overflowing.
    const std::size_t b = static_cast<std::size_t>(ByteCounter % 64);
    const std::size_t relleno = b < 56 ? 56 - b : 120 - b;
    const std::uint64_t bits = ByteCounter * 8;

    std::uint8_t cola[64 + 8] = {0x80};
    for (int i = 0; i < 8; ++i)
        cola[relleno + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    MD5Update(static_cast<int32_t>(relleno + 8), cola);
}

std::string clsMD5File::GetValues() const {
    std::string hex;
    hex.reserve(32);
    for (std::uint32_t r : State)
        for (int i = 0; i < 4; ++i) {
            const unsigned byte = (r >> (8 * i)) & 0xFF;
            hex += DigitoHex(byte >> 4);
            hex += DigitoHex(byte);
        }
    return hex;
}

std::string clsMD5File::DigestStrToHexStr(const std::string& SourceString) {
    MD5Init();
    MD5Update(AAnsi(SourceString));
    MD5Final();
    return GetValues();
}

std::string clsMD5File::DigestFileToHexStr(const std::string& FileName) {
    platform::ArchivoNativo archivo;
    if (!archivo.Abrir(FileName, platform::ArchivoNativo::Modo::Leer)) {
        switch (archivo.UltimoError()) {
        case 2: ErrorArchivo(53, "No se encontró el archivo");
        case 3: ErrorArchivo(76, "No se encontró la ruta de acceso");
        default: ErrorArchivo(75, "Error de acceso a la ruta o el archivo");
        }
    }

    MD5Init();
    // Constant memory whatever the file's size: one buffer, filled and
    // digested in turn.
    const auto buffer = std::make_unique<char[]>(kTamanoLectura);
    for (;;) {
        std::size_t leidos = 0;
        if (!archivo.Leer(buffer.get(), kTamanoLectura, leidos))
            ErrorArchivo(57, "Error de E/S en el dispositivo");
        if (leidos == 0)
            break;
        MD5Update(static_cast<int32_t>(leidos), reinterpret_cast<const std::uint8_t*>(buffer.get()));
    }
    MD5Final();
    return GetValues();
}

} // namespace olvado
