#include "common/clsEncriptor.h"

#include "platform/TextoAnsi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

using namespace olvado;

namespace {

// The parts of a cipher text written apart with spaces, put together.
std::string Junto(std::string cifrado) {
    cifrado.erase(std::remove(cifrado.begin(), cifrado.end(), ' '), cifrado.end());
    return cifrado;
}

std::string Descifrar(std::string cifrado, bool& exito) {
    clsEncriptor e;
    return e.Decrypt(cifrado, exito);
}

} // namespace

// Cipher texts worked out by hand from the rule, one per arithmetic case, and
// texts that are no cipher text: each gives false and "", and the argument is
// consumed either way.
TEST(clsEncriptorTest, EjemplosYLoQueNoEsCifrado) {
    clsEncriptor e;
    const std::string bueno = e.Encrypt("secreto");
    struct Caso {
        std::string cifrado, texto;
        bool exito;
    };
    const Caso casos[] = {
        // Key "33333333" (code 51), all behind: 'a' (97) at an odd position gives
        // 148 = 94, at an even position 46 = 2E; then "Quimbal" alternates.
        {"00 942E 84429C3A952E9F 33333333", "aa", true},
        {"00 94 1EA836A02F9439 33333333", "a", true},
        // Key "FFFFFFFF" (code 70), all in front: code 250 at an odd position gives
        // 320, corrected to 65 = 41; deciphering 65 - 70 = -5 gives 250 back.
        {"FF FFFFFFFF 41 0BBB23B31CA726", DesdeAnsi("\xFA"), true},
        // Bits 10100000 (A0): digits 3 and 1 in front (highest index first),
        // 2, 4, 5, 6, 7, 8 behind (lowest first); the empty text.
        {"A0 31 82439C39972BA3 245678", "", true},
        // Header and pairs are read in either case; the key digits are codes.
        {"a0 31 82439c39972ba3 245678", "", true},
        {"Z0" + bueno.substr(2), "", false},                       // header not hexadecimal
        {bueno.substr(0, 12) + "G" + bueno.substr(13), "", false}, // a pair not hexadecimal
        {bueno.substr(0, bueno.size() - 9) + bueno.substr(bueno.size() - 8), "", false}, // odd body
        {"0012345", "", false},                       // too short for the key
        {"00123456789", "", false},                   // one body digit
        {"FF FFFFFFFF", "", false},                   // no body at all
        {"00 94 1EA836A02F9438 33333333", "", false}, // check text altered
        {"hola", "", false},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.cifrado);
        std::string cifrado = Junto(caso.cifrado);
        bool exito = !caso.exito;
        EXPECT_EQ(e.Decrypt(cifrado, exito), caso.texto);
        EXPECT_EQ(exito, caso.exito);
        EXPECT_TRUE(cifrado.empty());
    }
    std::string vacio;
    bool exito = true;
    EXPECT_EQ(e.Decrypt(vacio, exito), "");
    EXPECT_TRUE(exito) << "an empty cipher text leaves the flag as it was";
}

TEST(clsEncriptorTest, CifraDistintoCadaVezYVuelve) {
    clsEncriptor e;
    const std::string texto = "Administrador ñandú €";
    const std::string a = e.Encrypt(texto), b = e.Encrypt(texto), vacio = e.Encrypt("");
    EXPECT_NE(a, b);
    for (const auto& [cifrado, original] : {std::pair{a, texto}, {b, texto}, {vacio, std::string()}}) {
        EXPECT_EQ(cifrado.size(), 10u + 2u * (AAnsi(original).size() + 7u)) << cifrado;
        EXPECT_TRUE(std::regex_match(cifrado, std::regex("[0-9A-F]+"))) << cifrado;
        bool exito = false;
        EXPECT_EQ(Descifrar(cifrado, exito), original);
        EXPECT_TRUE(exito);
    }
}

// Every character of the code page at an odd and at an even position: all
// come back except code 255 at odd positions (-> 0) and code 0 at even ones
// (-> 255), because codes wrap by 255.
TEST(clsEncriptorTest, CadaCaracterDeLaPaginaDeCodigos) {
    clsEncriptor e;
    int probados = 0;
    for (int codigo = 0; codigo < 256; ++codigo) {
        const std::string byte(1, static_cast<char>(codigo)), caracter = DesdeAnsi(byte);
        if (AAnsi(caracter) != byte)
            continue; // not a character of this code page
        ++probados;
        for (bool impar : {true, false}) {
            SCOPED_TRACE(std::to_string(codigo) + (impar ? " impar" : " par"));
            bool exito = false;
            const std::string vuelta = AAnsi(Descifrar(e.Encrypt(impar ? caracter : "x" + caracter), exito));
            ASSERT_TRUE(exito);
            const int esperado = impar && codigo == 255 ? 0 : !impar && codigo == 0 ? 255 : codigo;
            EXPECT_EQ(vuelta, (impar ? "" : "x") + std::string(1, static_cast<char>(esperado)));
        }
    }
    EXPECT_GE(probados, 251);
}
