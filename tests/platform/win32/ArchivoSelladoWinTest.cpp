// Windows: the held package file's share mode denies every writer.
#include "platform/ArchivoSellado.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace olvado;

TEST(ArchivoSelladoWinTest, NadieEscribeNiReemplazaElArchivoRetenido) {
    prueba::ArbolPrueba arbol;
    auto ruta = arbol.Temporal() / "Olvado_Act.exe";
    prueba::EscribirArchivo(ruta, "MZ original");
    platform::ArchivoSellado sellado;
    ASSERT_TRUE(sellado.Abrir(ruta.string()));
    HANDLE h = CreateFileW(ruta.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    EXPECT_FALSE(DeleteFileW(ruta.wstring().c_str()));
    EXPECT_FALSE(MoveFileExW((ruta.wstring() + L".x").c_str(), ruta.wstring().c_str(), MOVEFILE_REPLACE_EXISTING));
    sellado.Cerrar();
    EXPECT_EQ(prueba::LeerArchivo(ruta), "MZ original");
}
