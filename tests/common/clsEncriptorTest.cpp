#include "common/clsEncriptor.h"

#include "base/Texto.h"
#include "platform/TextoAnsi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using namespace olvado;

namespace {

std::string Descifrar(std::string cifrado, bool& exito) {
    clsEncriptor e;
    return e.Decrypt(cifrado, exito);
}

bool EsHexMayuscula(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

} // namespace

// Cipher texts worked out by hand from the rule, one per arithmetic case.
TEST(clsEncriptorTest, AritmeticaDeEjemplos) {
    bool exito = false;
    // Key "33333333" (code 51), all behind: 'a' (97) at an odd position gives
    // 148 = 94, at an even position 46 = 2E; then "Quimbal" alternates.
    EXPECT_EQ(Descifrar("00" "942E" "84429C3A952E9F" "33333333", exito), "aa");
    EXPECT_TRUE(exito);
    exito = false;
    EXPECT_EQ(Descifrar("00" "94" "1EA836A02F9439" "33333333", exito), "a");
    EXPECT_TRUE(exito);

    // Key "FFFFFFFF" (code 70), all in front: code 250 at an odd position gives
    // 320, corrected to 65 = 41; deciphering 65 - 70 = -5 gives 250 back.
    exito = false;
    EXPECT_EQ(AAnsi(Descifrar("FF" "FFFFFFFF" "41" "0BBB23B31CA726", exito)), "\xFA");
    EXPECT_TRUE(exito);

    // Bits 10100000 (A0): digits 3 and 1 in front (highest index first),
    // 2, 4, 5, 6, 7, 8 behind (lowest first); the empty text.
    exito = false;
    std::string cifrado = "A0" "31" "82439C39972BA3" "245678";
    clsEncriptor e;
    EXPECT_EQ(e.Decrypt(cifrado, exito), "");
    EXPECT_TRUE(exito);
    EXPECT_TRUE(cifrado.empty()) << "the argument is consumed";

    // Header and pairs are read in either case; the key digits are codes.
    exito = false;
    EXPECT_EQ(Descifrar("a0" "31" "82439c39972ba3" "245678", exito), "");
    EXPECT_TRUE(exito);
}

TEST(clsEncriptorTest, CifraDistintoCadaVezYVuelve) {
    clsEncriptor e;
    const std::string texto = "Administrador ñandú €";
    const std::string a = e.Encrypt(texto), b = e.Encrypt(texto);
    EXPECT_NE(a, b);
    for (const std::string& c : {a, b}) {
        EXPECT_EQ(c.size(), 10u + 2u * (AAnsi(texto).size() + 7u)) << c;
        EXPECT_TRUE(EsHexMayuscula(c)) << c;
        bool exito = false;
        EXPECT_EQ(Descifrar(c, exito), texto);
        EXPECT_TRUE(exito);
    }
    const std::string vacio = e.Encrypt("");
    EXPECT_EQ(vacio.size(), 24u);
    bool exito = false;
    EXPECT_EQ(Descifrar(vacio, exito), "");
    EXPECT_TRUE(exito);
}

// Every character of the code page at an odd and at an even position: all
// come back except code 255 at odd positions (-> 0) and code 0 at even ones
// (-> 255), because codes wrap by 255.
TEST(clsEncriptorTest, CadaCaracterDeLaPaginaDeCodigos) {
    clsEncriptor e;
    int probados = 0;
    for (int codigo = 0; codigo < 256; ++codigo) {
        const std::string byte(1, static_cast<char>(codigo));
        const std::string caracter = DesdeAnsi(byte);
        if (AAnsi(caracter) != byte)
            continue; // not a character of this code page
        ++probados;
        for (bool impar : {true, false}) {
            const std::string texto = impar ? caracter : "x" + caracter;
            bool exito = false;
            const std::string vuelta = AAnsi(Descifrar(e.Encrypt(texto), exito));
            ASSERT_TRUE(exito) << codigo << (impar ? " impar" : " par");
            int esperado = codigo;
            if (impar && codigo == 255)
                esperado = 0;
            if (!impar && codigo == 0)
                esperado = 255;
            EXPECT_EQ(vuelta, (impar ? "" : "x") + std::string(1, static_cast<char>(esperado)))
                << codigo << (impar ? " impar" : " par");
        }
    }
    EXPECT_GE(probados, 251);
}

TEST(clsEncriptorTest, LoQueNoEsCifradoDaFalsoYVacio) {
    clsEncriptor e;
    std::string bueno = e.Encrypt("secreto");
    const std::string falsos[] = {
        "Z0" + bueno.substr(2),                              // header not hexadecimal
        bueno.substr(0, 12) + "G" + bueno.substr(13),        // a pair not hexadecimal
        bueno.substr(0, bueno.size() - 9) + bueno.substr(bueno.size() - 8), // odd body
        "0012345",                                           // too short for the key
        "00123456789",                                       // one body digit
        "FF" "FFFFFFFF",                                     // no body at all
        "00" "94" "1EA836A02F9438" "33333333",              // check text altered
        "hola",
    };
    for (std::string cifrado : falsos) {
        const std::string original = cifrado;
        bool exito = true;
        EXPECT_EQ(e.Decrypt(cifrado, exito), "") << original;
        EXPECT_FALSE(exito) << original;
        EXPECT_TRUE(cifrado.empty()) << original;
    }
    std::string vacio;
    bool exito = true;
    EXPECT_EQ(e.Decrypt(vacio, exito), "");
    EXPECT_TRUE(exito) << "an empty cipher text leaves the flag as it was";
}
