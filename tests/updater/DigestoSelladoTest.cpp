// The package's single read: a file several times the ring of buffers, with
// a tail that fills no whole buffer, gives the whole file's MD5 and the
// SHA-256, which the signature names, of exactly its bytes.
#include "updater/DigestoSellado.h"

#include "platform/ArchivoSellado.h"
#include "platform/FirmaEd25519.h"
#include "support/ActualizadorPrueba.h"

#include <gtest/gtest.h>

using namespace olvado;

TEST(DigestoSelladoTest, MD5YFirmaDeLosMismosBytesEnUnaLectura) {
    std::string bytes((9u << 20) + 123, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 131 + (i >> 20));
    prueba::ArbolPrueba arbol;
    auto ruta = arbol.Temporal() / "Olvado_Act.exe";
    prueba::EscribirArchivo(ruta, bytes);
    platform::FirmaEd25519 entero;
    entero.Agregar(bytes.data(), bytes.size());

    platform::ArchivoSellado sellado;
    ASSERT_TRUE(sellado.Abrir(ruta.string()));
    platform::FirmaEd25519 leida;
    EXPECT_EQ(DigestoSellado(sellado, &leida), prueba::Md5(bytes));
    EXPECT_EQ(leida.Sha256Hex(), entero.Sha256Hex());
    // Read again without a signature: the same digest from the first byte.
    EXPECT_EQ(DigestoSellado(sellado, nullptr), prueba::Md5(bytes));
}
