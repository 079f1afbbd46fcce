#include "platform/FirmaEd25519.h"

#include <gtest/gtest.h>

using olvado::platform::FirmaEd25519;

namespace {

// RFC 8032, 7.1, tests 1 and 2.
struct Vector {
    const char *privada, *publica, *mensaje, *firma;
};
const Vector kVectores[] = {
    {"9d61b19deffd5a60ba844af492ec2cc44449c5697b326919703bac031cae7f60",
     "D75A980182B10AB7D54BFED3C964073A0EE172F3DAA62325AF021A68F707511A", "",
     "E5564300C360AC729086E2CC806E828A84877F1EB8E5D974D873E065224901555FB8821590A33BACC61E39701CF9B46BD25BF5F0595BBE"
     "24655141438E7A100B"},
    {"4ccd089b28ff96da9db6c346ec114e0f5b8a319f35aba624da8cf6ed4fb8a6fb",
     "3D4017C3E843895A92B70AA74D1B7EBC9C982CCF2EC4968CC0CD55F12AF4660C", "\x72",
     "92A009A9F0D4CAB8720E820B5F642540A2B27B5416503F8FB3762223EBDB69DA085AC1E43E15996E458F3613D0F11D8C387B2EAEB4302A"
     "EEB00D291612BB0C00"},
};

TEST(FirmaEd25519Test, VectoresConocidos) {
    for (const Vector& v : kVectores) {
        EXPECT_EQ(FirmaEd25519::ClavePublica(v.privada), v.publica);
        EXPECT_EQ(FirmaEd25519::FirmarMensaje(v.privada, v.mensaje), v.firma);
        EXPECT_TRUE(FirmaEd25519::VerificarMensaje(v.publica, v.firma, v.mensaje));
        EXPECT_FALSE(FirmaEd25519::VerificarMensaje(v.publica, v.firma, std::string(v.mensaje) + "x"));
    }
    // Malformed keys and signatures never sign nor verify.
    const Vector& v = kVectores[0];
    EXPECT_EQ(FirmaEd25519::ClavePublica(std::string(v.privada).substr(2)), "");
    EXPECT_EQ(FirmaEd25519::FirmarMensaje(std::string("zz") + (v.privada + 2), ""), "");
    EXPECT_FALSE(FirmaEd25519::VerificarMensaje(v.publica, std::string(v.firma) + "00", ""));
    EXPECT_FALSE(FirmaEd25519::VerificarMensaje(std::string(v.publica).substr(2), v.firma, ""));
}

TEST(FirmaEd25519Test, ClavesNuevasYResumenEnTrozos) {
    std::string privada, publica, otra, otraPublica;
    ASSERT_TRUE(FirmaEd25519::GenerarClaves(privada, publica));
    ASSERT_TRUE(FirmaEd25519::GenerarClaves(otra, otraPublica));
    EXPECT_NE(privada, otra);
    EXPECT_EQ(FirmaEd25519::ClavePublica(privada), publica);
    const std::string firma = FirmaEd25519::FirmarMensaje(privada, "texto");
    EXPECT_TRUE(FirmaEd25519::VerificarMensaje(publica, firma, "texto"));
    EXPECT_FALSE(FirmaEd25519::VerificarMensaje(otraPublica, firma, "texto"));

    // FIPS 180-2's "abc", and any cut of the same bytes gives the same SHA-256.
    FirmaEd25519 abc;
    abc.Agregar("abc", 3);
    EXPECT_EQ(abc.Sha256Hex(), "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
    std::string paquete(100000, '\0');
    for (size_t i = 0; i < paquete.size(); ++i)
        paquete[i] = static_cast<char>(i * 31 + i / 251);
    auto resumen = [&](size_t trozo) {
        FirmaEd25519 f;
        for (size_t i = 0; i < paquete.size(); i += trozo)
            f.Agregar(paquete.data() + i, std::min(trozo, paquete.size() - i));
        return f.Sha256Hex();
    };
    const std::string entero = resumen(paquete.size());
    EXPECT_EQ(resumen(4093), entero);
    paquete[77777] ^= 1;
    EXPECT_NE(resumen(65536), entero);
}

} // namespace
