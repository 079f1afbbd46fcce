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

// Not external: the given triple is ignored for this program's own version,
// which without a version resource (the test programs) is the build's.
TEST(ComparadorVersionesTest, PaqueteFrenteAInstaladoOPropio) {
    EXPECT_TRUE(DBMasRecienteQuePrograma(1, 0, 67, true, 1, 0, 66));
    EXPECT_FALSE(ProgramaMasRecienteQueDB(1, 0, 67, true, 1, 0, 66));
    EXPECT_TRUE(ProgramaMasRecienteQueDB(1, 0, 65, true, 1, 0, 66));
    EXPECT_FALSE(DBMasRecienteQuePrograma(1, 0, 66, true, 1, 0, 66));
    EXPECT_FALSE(ProgramaMasRecienteQueDB(1, 0, 66, true, 1, 0, 66));

    const IdentidadPrograma& p = ObtenerIdentidadPrograma();
    EXPECT_EQ(std::tie(p.Compania, p.Producto, p.Major, p.Minor, p.Revision),
              std::make_tuple("Olvado Systems", "Olvado", build::VersionMajor, build::VersionMinor,
                              build::VersionRevision));
    EXPECT_TRUE(DBMasRecienteQuePrograma(p.Major, p.Minor, p.Revision + 1, false, 99, 99, 99));
    EXPECT_FALSE(DBMasRecienteQuePrograma(p.Major, p.Minor, p.Revision, false, 0, 0, 0));
    EXPECT_TRUE(ProgramaMasRecienteQueDB(p.Major, p.Minor, p.Revision - 1, false, 0, 0, 0));
    EXPECT_FALSE(ProgramaMasRecienteQueDB(p.Major, p.Minor + 1, 0, false, 99, 99, 99));
}
