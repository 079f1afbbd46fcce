// The held package file: the bytes read through it are the bytes it had when
// it was opened, whatever its owner does to the path afterwards.
#include "platform/ArchivoSellado.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    std::fstream(ruta, std::ios::in | std::ios::out | std::ios::binary)
        << "#!/bin/sh\necho CAMBIADO\nexit 0\n";
    char leido[64];
    const int64_t n = sellado.Leer(leido, sizeof leido);
    EXPECT_EQ(std::string(leido, static_cast<size_t>(std::max<int64_t>(n, 0))), "#!/bin/sh\necho original\n");
    EXPECT_EQ(sellado.Tamano(), 24);
    EXPECT_FALSE(sellado.Abrir((arbol.Temporal() / "falta.exe").string()));
}
