#include "common/ComparadorVersiones.h"

#include "common/IdentidadPrograma.h"

#include "BuildInfo.h"

#include <gtest/gtest.h>

using namespace olvado;

TEST(ComparadorVersionesTest, EstrictamenteMayorPorComponentes) {
    EXPECT_FALSE(CompararVersiones(1, 0, 66, 1, 0, 66));
    EXPECT_TRUE(CompararVersiones(1, 1, 0, 1, 0, 99));
    EXPECT_FALSE(CompararVersiones(1, 0, 66, 1, 1, 0));
    EXPECT_TRUE(CompararVersiones(2, 0, 0, 1, 99, 99));
    EXPECT_FALSE(CompararVersiones(1, 99, 99, 2, 0, 0));
    EXPECT_TRUE(CompararVersiones(1, 0, 67, 1, 0, 66));
    EXPECT_FALSE(CompararVersiones(1, 0, 65, 1, 0, 66));
    EXPECT_FALSE(CompararVersiones(-1, 0, 0, 0, 0, 0)) << "signed";
    EXPECT_TRUE(CompararVersiones(0, 0, 0, 0, 0, -5));
}

TEST(ComparadorVersionesTest, PaqueteFrenteAInstaladoOPropio) {
    EXPECT_TRUE(DBMasRecienteQuePrograma(1, 0, 67, true, 1, 0, 66));
    EXPECT_FALSE(ProgramaMasRecienteQueDB(1, 0, 67, true, 1, 0, 66));
    EXPECT_TRUE(ProgramaMasRecienteQueDB(1, 0, 65, true, 1, 0, 66));
    EXPECT_FALSE(DBMasRecienteQuePrograma(1, 0, 66, true, 1, 0, 66));
    EXPECT_FALSE(ProgramaMasRecienteQueDB(1, 0, 66, true, 1, 0, 66));

    // Not external: the given triple is ignored for this program's own version.
    const IdentidadPrograma& propia = ObtenerIdentidadPrograma();
    EXPECT_TRUE(DBMasRecienteQuePrograma(propia.Major, propia.Minor, propia.Revision + 1, false, 99, 99, 99));
    EXPECT_FALSE(DBMasRecienteQuePrograma(propia.Major, propia.Minor, propia.Revision, false, 0, 0, 0));
    EXPECT_TRUE(ProgramaMasRecienteQueDB(propia.Major, propia.Minor, propia.Revision - 1, false, 0, 0, 0));
    EXPECT_FALSE(ProgramaMasRecienteQueDB(propia.Major, propia.Minor + 1, 0, false, 99, 99, 99));
}

// The test programs carry no version resource: the build's configuration.
TEST(ComparadorVersionesTest, IdentidadSinRecursoEsLaDeLaCompilacion) {
    const IdentidadPrograma& propia = ObtenerIdentidadPrograma();
    EXPECT_EQ(propia.Compania, "Olvado Systems");
    EXPECT_EQ(propia.Producto, "Olvado");
    EXPECT_EQ(propia.Major, build::VersionMajor);
    EXPECT_EQ(propia.Minor, build::VersionMinor);
    EXPECT_EQ(propia.Revision, build::VersionRevision);
}
