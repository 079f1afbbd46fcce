// The held package file: the bytes read through it are the bytes it had when
// it was opened, whatever its owner does to the path afterwards.
#include "platform/ArchivoSellado.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace olvado;

TEST(ArchivoSelladoTest, LoLeidoNoCambiaTrasAbrir) {
    prueba::ArbolPrueba arbol;
    auto ruta = arbol.Temporal() / "Olvado_Act.exe";
    prueba::EscribirArchivo(ruta, "#!/bin/sh\necho original\n");
    platform::ArchivoSellado sellado;
    ASSERT_TRUE(sellado.Abrir(ruta.string()));
    // In place, as `dd conv=notrunc` would: Windows refuses the writer, Linux
    // writes the path but not the held bytes.
    std::fstream(ruta, std::ios::in | std::ios::out | std::ios::binary) << "#!/bin/sh\necho CAMBIADO\nexit 0\n";
    std::string leido(64, '\0');
    int64_t n = sellado.Leer(leido.data(), leido.size());
    ASSERT_GE(n, 0);
    leido.resize(static_cast<size_t>(n));
    EXPECT_EQ(leido, "#!/bin/sh\necho original\n");
    EXPECT_EQ(sellado.Tamano(), 24);
    EXPECT_FALSE(sellado.Abrir((arbol.Temporal() / "falta.exe").string()));
}
