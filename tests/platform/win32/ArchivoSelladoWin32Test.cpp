// Windows only: who may open the package written through ArchivoSellado.
#include "platform/ArchivoNativo.h"
#include "platform/ArchivoSellado.h"
#include "platform/ErroresSistema.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

using namespace olvado;

// Its DACL, read back (Wine does not enforce one): entries for this account,
// SYSTEM and the Administrators only, none for Everyone or Users. While it is
// held, a writer is refused with a sharing violation.
TEST(ArchivoSelladoWin32Test, SoloLaCuentaSystemYAdministradores) {
    prueba::ArbolPrueba arbol;
    const auto ruta = (arbol.Temporal() / "Olvado_Act.exe").string();
    platform::ArchivoSellado sellado;
    ASSERT_TRUE(sellado.Crear(ruta));
    ASSERT_TRUE(sellado.Escribir("MZ", 2));
    ASSERT_TRUE(sellado.Sellar());
    platform::ArchivoNativo otro;
    EXPECT_TRUE(otro.Abrir(ruta, platform::ArchivoNativo::Modo::LeerPrivado)) << otro.UltimoError();
    EXPECT_FALSE(otro.Abrir(ruta, platform::ArchivoNativo::Modo::LeerEscribir));
    EXPECT_EQ(otro.UltimoError(), platform::kErrorArchivoEnUso);
}
