// The 64-bit build where the family's 32-bit programs look on 64-bit Windows:
// their program files folder and their registry view.
#include "common/cRegistry.h"
#include "common/clsStgComunes.h"
#include "platform/Registry.h"
#include "platform/SpecialFolders.h"
#include "support/ArbolPrueba.h"
#include "support/EscritorPE.h"
#include "support/RegistroPrueba.h"
#include "updater/ExtraerVersion.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace olvado;
namespace fs = std::filesystem;

TEST(Vista32BitsTest, ProgramaPrincipalYCredencialesDondeLosVeUnPrograma32Bits) {
    const std::string x86 = platform::RutaEspecial(0, platform::CSIDL_PROGRAM_FILESX86);
    ASSERT_TRUE(x86.ends_with(" (x86)")) << x86;
    const fs::path carpeta = fs::u8path(x86) / "Olvado";
    fs::create_directories(carpeta);
    prueba::EscribirArchivo(carpeta / "Olvado.exe",
                            prueba::ArchivoPE(prueba::BloqueVersion(prueba::VersionCompleta("1.0.66"))));
    int32_t a = 0, b = 0, c = 0;
    const bool leida = VersionProgramaPrincipal(a, b, c);
    fs::remove_all(carpeta);
    EXPECT_TRUE(leida);
    EXPECT_EQ(c, 66);

    // The 64-bit view names the 32-bit programs' SOFTWARE key WOW6432Node.
    clsStgComunes comunes;
    ASSERT_TRUE(comunes.Registro_GuardarCredenciales("0A1B2C", "3D4E5F"));
    auto& reg = platform::RegistroActual();
    platform::HClave h = 0;
    const int32_t abierta = reg.AbrirClave(platform::HKEY_LOCAL_MACHINE_, "SOFTWARE\\WOW6432Node\\Olvado Systems\\Base",
                                           0x1 | platform::KEY_WOW64_64KEY_, h);
    std::string datos(16, '\0');
    uint32_t tipo = 0, tamano = 16;
    if (abierta == 0) {
        platform::ClaveRegistro cerrar(h);
        EXPECT_EQ(reg.ConsultarValor(h, "RACon", tipo, tamano, &datos), 0);
    }
    prueba::BorrarArbolRegistro(HKEY_LOCAL_MACHINE, "SOFTWARE\\Olvado Systems\\Base");
    ASSERT_EQ(abierta, 0);
    EXPECT_EQ(datos, std::string("3D4E5F", 7));
}
