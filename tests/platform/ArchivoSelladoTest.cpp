// The held package file: the bytes read through it are the bytes it had when
// it was opened, whatever its owner does to the path afterwards.
#include "platform/ArchivoSellado.h"
#include "platform/ProcesoHijo.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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

// Written once into the held file: read back as written, changed through no
// name while held; a name already taken is refused and left as it was (links
// and FIFOs: posix/StandInsTest.cpp, Wine makes no links).
TEST(ArchivoSelladoTest, CreadoEscritoYSellado) {
    prueba::ArbolPrueba arbol;
    const auto carpeta = arbol.Temporal();
    const auto ruta = carpeta / "Olvado_Act.exe";
    const std::string bytes = "#!/bin/sh\necho escrito\n";
    platform::ArchivoSellado sellado;
    ASSERT_TRUE(sellado.Crear(ruta.string()));
    EXPECT_TRUE(sellado.Escribir(bytes.data(), 10));
    EXPECT_TRUE(sellado.Escribir(bytes.data() + 10, bytes.size() - 10));
    ASSERT_TRUE(sellado.Sellar());
    EXPECT_FALSE(sellado.Escribir("x", 1));
    EXPECT_EQ(sellado.Tamano(), static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(prueba::LeerArchivo(ruta), bytes);
    // Linux: the sealed memory file refuses the write; Windows: the open.
    std::fstream(sellado.RutaLectura(), std::ios::in | std::ios::out | std::ios::binary) << "#!/bin/sh\nrm\n";
    char leido[64];
    ASSERT_TRUE(sellado.Rebobinar());
    const int64_t n = sellado.Leer(leido, sizeof leido);
    EXPECT_EQ(std::string(leido, static_cast<size_t>(std::max<int64_t>(n, 0))), bytes);
    sellado.Cerrar();

    EXPECT_FALSE(sellado.Crear(ruta.string()));
    EXPECT_EQ(prueba::LeerArchivo(ruta), bytes);
}

// Not sealed, whether closed or killed: nothing stays in the folder.
TEST(ArchivoSelladoTest, SinSellarNoQuedaNada) {
    if (prueba::RolHijo() == "morir") {
        platform::ArchivoSellado sellado;
        std::_Exit(sellado.Crear(std::getenv("OLVADO_TEST_PAQUETE")) && sellado.Escribir("MZ", 2) ? 7 : 1);
    }
    prueba::ArbolPrueba arbol;
    const auto paquete = arbol.Temporal() / "Olvado_Act.exe";
    platform::ArchivoSellado sellado;
    ASSERT_TRUE(sellado.Crear(paquete.string()));
    EXPECT_TRUE(sellado.Escribir("MZ", 2));
    sellado.Cerrar();
    platform::ProcesoHijo hijo;
    ASSERT_TRUE(hijo.Iniciar(prueba::ArgumentosHijo("ArchivoSelladoTest.SinSellarNoQuedaNada"),
                             {{"OLVADO_TEST_ROL", "morir"}, {"OLVADO_TEST_PAQUETE", paquete.string()}}));
    EXPECT_EQ(hijo.Esperar(), 7);
    EXPECT_TRUE(std::filesystem::is_empty(arbol.Temporal()));
}
