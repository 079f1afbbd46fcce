// The 64-bit build where the family's 32-bit programs look on 64-bit Windows:
// their program files folder and their registry view (which the 64-bit view
// calls SOFTWARE\\WOW6432Node).
#include "common/ExtraerVersion.h"
#include "common/cRegistry.h"
#include "common/clsStgComunes.h"
#include "platform/CarpetasEspeciales.h"
#include "support/ArbolPrueba.h"
#include "support/EscritorPE.h"
#include "support/RegistroPrueba.h"

#include <gtest/gtest.h>

using namespace olvado;
namespace fs = std::filesystem;

TEST(Vista32BitsTest, ProgramaPrincipalYCredencialesDondeLosVeUnPrograma32Bits) {
    const fs::path carpeta =
        fs::u8path(platform::RutaEspecial(0, platform::CSIDL_PROGRAM_FILESX86)) / "Olvado";
    fs::create_directories(carpeta);
    prueba::EscribirArchivo(carpeta / "Olvado.exe",
                            prueba::ArchivoPE(prueba::BloqueVersion(prueba::VersionCompleta("1.0.66"))));
    int32_t a = 0, b = 0, c = 0;
    EXPECT_TRUE(VersionProgramaPrincipal(a, b, c)) << carpeta;
    fs::remove_all(carpeta);

    ASSERT_TRUE(clsStgComunes().Registro_GuardarCredenciales("0A1B2C", "3D4E5F"));
    cRegistry r;
    r.Modo64(true);
    EXPECT_EQ(r.ValueEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\WOW6432Node\\Olvado Systems\\Base", "RACon", REG_SZ,
                        std::string("ninguna")),
              Variante(std::string("3D4E5F")));
    prueba::BorrarArbolRegistro(HKEY_LOCAL_MACHINE, "SOFTWARE\\Olvado Systems\\Base");
}
