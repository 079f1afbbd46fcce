// A mapped file shows its bytes, an empty one an empty view, and while it is
// mapped this system's writers are kept out.
#include "platform/ArchivoMapeado.h"
#include "platform/ArchivoNativo.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

using namespace olvado;

TEST(ArchivoMapeadoTest, MuestraElArchivoYApartaASusEscritores) {
    prueba::ArbolPrueba arbol;
    auto ruta = arbol.Temporal() / "base.msi";
    std::string bytes(200000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    prueba::EscribirArchivo(ruta, bytes);
    platform::ArchivoMapeado mapa;
    ASSERT_TRUE(mapa.Abrir(ruta.string()));
    EXPECT_EQ(mapa.Contenido(), bytes);
    platform::ArchivoNativo escritor;
    EXPECT_FALSE(escritor.Abrir(ruta.string(), platform::ArchivoNativo::Modo::LeerEscribir));
    mapa.Cerrar();
    EXPECT_TRUE(escritor.Abrir(ruta.string(), platform::ArchivoNativo::Modo::LeerEscribir));

    prueba::EscribirArchivo(arbol.Temporal() / "vacio", "");
    ASSERT_TRUE(mapa.Abrir((arbol.Temporal() / "vacio").string()));
    EXPECT_TRUE(mapa.Contenido().empty());
    EXPECT_FALSE(mapa.Abrir((arbol.Temporal() / "falta").string()));
    EXPECT_FALSE(mapa.Abierto());
    EXPECT_FALSE(mapa.Abrir(arbol.Temporal().string())); // a folder
}
