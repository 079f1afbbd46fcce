#include "common/clsMD5File.h"

#include "base/ErrorOlvado.h"
#include "support/ArbolPrueba.h"
#include "support/ErrorVisto.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace olvado;
using olvado::prueba::ArbolPrueba;

namespace {

// Byte i of the file samples: every byte value, shifting every 256 bytes.
std::string BytesMuestra(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return s;
}

// Text samples: lower-case letters, so the ANSI bytes are the text itself.
std::string TextoMuestra(std::size_t n) {
    std::string s(n, 'a');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + (i * 5 + i / 26) % 26);
    return s;
}

std::string Digerir(const std::filesystem::path& ruta) {
    clsMD5File md5;
    return md5.DigestFileToHexStr(ruta.string());
}

struct Muestra {
    std::size_t largo;
    const char* archivo; // md5sum of BytesMuestra(largo)
    const char* texto;   // md5sum of TextoMuestra(largo)
};

// Both sides of the padding boundaries (55-56, 63-64, 119-120) and of the
// file reader's buffer size; digests made with md5sum.
const Muestra kMuestras[] = {
    {0, "D41D8CD98F00B204E9800998ECF8427E", "D41D8CD98F00B204E9800998ECF8427E"},
    {55, "8D24280288A696559FD8D5AA1B6D8C6E", "644A3C8766ED6BF105BD157EC0288FE4"},
    {56, "EF2C72B7254C92459E498EDDD4ACE573", "5E6A9DD110E0AC07B3B2CE30BD86CB82"},
    {63, "C4C8C6D513F4E1604EB18508A1769364", "9E5E9EACE215123B7B265C1D93C66334"},
    {64, "A2FCB39A253B9B785B1F97518FA37683", "C1A735BACB052CC44514FBEBF3E2669D"},
    {119, "1640DEEA49EBB258EC6EDE18D4B2D2D7", "B20527490F5B20C4521EEC4BC2C88BAB"},
    {120, "05F879F7B542A7EBF0605ADFF67D4423", "C35324088CB4CADD1C6FE41FDFE296FD"},
    {1048576, "85BFB9943E6F0CB09F0F52679E9EAC2B", "458FA4AD5D3501448D80A40CE15A7258"},
    {1048577, "1AE71CAE51E4A8FAE584A09B615F6C49", "E1532E603B605F32B49F99841F3B1FF5"},
};

} // namespace

TEST(clsMD5FileTest, CadaLargoComoMd5sumEnArchivosYTextos) {
    ArbolPrueba arbol;
    for (const auto& m : kMuestras) {
        const auto ruta = arbol.Temporal() / "muestra.bin";
        prueba::EscribirArchivo(ruta, BytesMuestra(m.largo));
        EXPECT_EQ(Digerir(ruta), m.archivo) << m.largo << " bytes";
        clsMD5File md5;
        EXPECT_EQ(md5.DigestStrToHexStr(TextoMuestra(m.largo)), m.texto) << m.largo << " caracteres";
    }
}

TEST(clsMD5FileTest, TextosSeDigierenEnLaPaginaDeCodigosAnsi) {
    clsMD5File md5;
    // "añ€" is 61 F1 80 in the ANSI code page.
    EXPECT_EQ(md5.DigestStrToHexStr("a\xC3\xB1\xE2\x82\xAC"), "A1F13369388C21070419926443748810");
    EXPECT_EQ(md5.DigestStrToHexStr("\xC3\xB1"), "EDB907361219FB8D50279EABAB0B83B1");
}

TEST(clsMD5FileTest, PorPartesIgualQueDeUnaVezYRegistros) {
    clsMD5File md5;
    const std::string datos = BytesMuestra(1048577);
    for (std::size_t trozo : {1u, 7u, 63u, 64u, 65u, 1000u, 70000u}) {
        md5.MD5Init();
        for (std::size_t i = 0; i < datos.size(); i += trozo) {
            const std::size_t n = std::min(trozo, datos.size() - i);
            md5.MD5Update(static_cast<int32_t>(n), reinterpret_cast<const std::uint8_t*>(datos.data() + i));
        }
        md5.MD5Update(0, nullptr);
        md5.MD5Final();
        EXPECT_EQ(md5.GetValues(), "1AE71CAE51E4A8FAE584A09B615F6C49") << "trozos de " << trozo;
    }
    md5.MD5Init();
    md5.MD5Update(3, reinterpret_cast<const std::uint8_t*>("abc"));
    md5.MD5Final();
    // The registers after "abc": its digest read as four signed little-endian words.
    EXPECT_EQ((std::vector{md5.RegisterA(), md5.RegisterB(), md5.RegisterC(), md5.RegisterD()}),
              (std::vector<std::string>{"-1739587184", "-1336946116", "2101319382", "1920983336"}));
}

TEST(clsMD5FileTest, RotacionIzquierda) {
    EXPECT_EQ(clsMD5File::LongLeftRotate(1, 1), 2);
    EXPECT_EQ(clsMD5File::LongLeftRotate(static_cast<int32_t>(0x80000001u), 1), 3);
    EXPECT_EQ(clsMD5File::LongLeftRotate(0x12345678, 0), 0x12345678);
    EXPECT_EQ(clsMD5File::LongLeftRotate(0x12345678, 32), 0x12345678);
    EXPECT_EQ(clsMD5File::LongLeftRotate(0x12345678, 36), 0x23456781);
    EXPECT_EQ(clsMD5File::LongLeftRotate(0x12345678, 4), 0x23456781);
}

TEST(clsMD5FileTest, ArchivoInexistenteEsUnErrorDelLlamador) {
    ArbolPrueba arbol;
    const auto ruta = arbol.Temporal() / "no-existe.bin";
    clsMD5File md5;
    EXPECT_EQ(prueba::ErrorDe([&] { md5.DigestFileToHexStr(ruta.string()); }).numero, 53);
    EXPECT_FALSE(std::filesystem::exists(ruta)) << "not created";
    EXPECT_EQ(prueba::ErrorDe([&] { md5.DigestFileToHexStr(arbol.Temporal().string()); }).numero, 75);
    // The system writes its paths with "\" ("DB\" + name): they open on both systems.
    std::filesystem::create_directories(arbol.Temporal() / "DB");
    prueba::EscribirArchivo(arbol.Temporal() / "DB" / "abc.bin", "abc");
    EXPECT_EQ(md5.DigestFileToHexStr(arbol.Temporal().string() + "\\DB\\abc.bin"),
              "900150983CD24FB0D6963F7D28E17F72");
}

// 256 MiB + 1: the bit length no longer fits 32 bits and must still verify.
TEST(clsMD5FileTest, PaquetesDe256MiBOMas) {
    ArbolPrueba arbol;
    const auto ruta = arbol.Temporal() / "grande.bin";
    { std::ofstream(ruta, std::ios::binary).put('\0'); }
    std::filesystem::resize_file(ruta, (std::uintmax_t{1} << 28) + 1); // zeros, sparse where possible
    EXPECT_EQ(Digerir(ruta), "DB1F21C16A6188C59DD465B377432C1A");
}
