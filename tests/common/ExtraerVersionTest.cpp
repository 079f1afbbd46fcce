// These files go through the build's own implementation: version.dll in the
// Windows build (under Wine), our PE reader in the Linux build.
#include "common/ExtraerVersion.h"

#include "BuildInfo.h"
#include "support/ArbolPrueba.h"
#include "support/EscritorPE.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <vector>

using namespace olvado;
using namespace olvado::prueba;

namespace {

// One file as both readers see it: the answer, the eight texts in the order
// the reader fills them, and VersionArchivo's answer with its three numbers.
using Version = std::tuple<bool, int32_t, int32_t, int32_t>;
using Leido = std::tuple<int32_t, std::vector<std::string>, Version>;

Leido Leer(const std::string& ruta) {
    InformacionVersion i;
    i.ProductName = "previo"; // every value is cleared first
    const int32_t codigo = ExtraerInformacionVersion(ruta, i);
    int32_t a = -1, b = -1, c = -1; // nothing is written on failure
    const bool leida = VersionArchivo(ruta, a, b, c);
    return {codigo,
            {i.CompanyName, i.FileDescription, i.FileVersion, i.InternalName, i.LegalCopyright,
             i.OriginalFileName, i.ProductName, i.ProductVersion},
            {leida, a, b, c}};
}

// The first `n` texts of a table, the rest empty.
std::vector<std::string> Textos(const TablaCadenas& tabla, std::size_t n = 8) {
    std::vector<std::string> textos(8);
    for (std::size_t i = 0; i < n; ++i)
        textos[i] = tabla.valores[i].second;
    return textos;
}

// Writes a PE file with the given version data; answers its path.
std::string Escribir(const ArbolPrueba& arbol, const DatosVersionPE& datos) {
    static int numero = 0;
    const auto ruta = arbol.Temporal() / ("v" + std::to_string(++numero) + ".exe");
    EscribirArchivo(ruta, ArchivoPE(BloqueVersion(datos), datos.traducciones[0].first));
    return ruta.string();
}

const Version kSinVersion{false, -1, -1, -1};

} // namespace

TEST(ExtraerVersionTest, TextosYTresNumeros) {
    ArbolPrueba arbol;
    const DatosVersionPE cuatro = VersionCompleta("2.1.3.4"), ceros = VersionCompleta("1.00.0066");
    EXPECT_EQ(Leer(Escribir(arbol, cuatro)), (Leido{1, Textos(cuatro.tablas[0]), {true, 2, 1, 3}}));
    EXPECT_EQ(Leer(Escribir(arbol, ceros)), (Leido{1, Textos(ceros.tablas[0]), {true, 1, 0, 66}}));
    for (const char* version : {"3.1", "1.x.3", "1..3", "", "7"}) {
        const DatosVersionPE datos = VersionCompleta(version);
        EXPECT_EQ(Leer(Escribir(arbol, datos)), (Leido{1, Textos(datos.tablas[0]), kSinVersion})) << version;
    }
    // Read up to the first missing text.
    DatosVersionPE sinCopyright = VersionCompleta("1.2.3");
    sinCopyright.tablas[0].valores.erase(sinCopyright.tablas[0].valores.begin() + 4);
    EXPECT_EQ(Leer(Escribir(arbol, sinCopyright)),
              (Leido{2, Textos(sinCopyright.tablas[0], 4), kSinVersion}));
    // A file the system cannot read (which files those are is the platform reader's).
    EXPECT_EQ(Leer((arbol.Temporal() / "falta.exe").string()),
              (Leido{2, std::vector<std::string>(8), kSinVersion}));
}

// The first translation names the second table.
TEST(ExtraerVersionTest, PrimeraTraduccionNoEsLaPrimeraTabla) {
    ArbolPrueba arbol;
    DatosVersionPE datos = VersionCompleta("5.6.7");
    datos.traducciones = {{0x0C0A, 1252}, {0x0409, 1200}};
    datos.tablas[0].valores[0].second = "Compañía Olvado";
    DatosVersionPE ingles = VersionCompleta("9.9.9");
    ingles.tablas[0].clave = "040904B0";
    ingles.tablas[0].valores[0].second = "English company";
    datos.tablas.insert(datos.tablas.begin(), ingles.tablas[0]);
    EXPECT_EQ(Leer(Escribir(arbol, datos)), (Leido{1, Textos(datos.tablas[1]), {true, 5, 6, 7}}));
    // Language 0x0409 first: the English table, key "040904B0".
    std::swap(datos.traducciones[0], datos.traducciones[1]);
    EXPECT_EQ(Leer(Escribir(arbol, datos)), (Leido{1, Textos(datos.tablas[0]), {true, 9, 9, 9}}));
}

// The project's own updater. The Windows build reads its own executable and
// finds the build's identity in it; the Linux build's updater is an ELF file
// without a version resource, and the Windows build's executable beside it
// (scripts/test always builds both) is read with our reader.
TEST(ExtraerVersionTest, ElPropioOlvadoUpdater) {
    std::string exe = OLVADO_UPDATER_BIN;
    if (!exe.ends_with(".exe")) {
        EXPECT_EQ(Leer(exe), (Leido{2, std::vector<std::string>(8), kSinVersion}));
        exe = std::string(OLVADO_BINARY_DIR) + "/../win/OlvadoUpdater.exe";
        if (!std::filesystem::exists(exe))
            return;
    }
    const auto [codigo, campos, version] = Leer(exe);
    ASSERT_EQ(codigo, 1) << exe;
    EXPECT_EQ(campos[0], build::Compania);
    EXPECT_EQ(campos[5], "OlvadoUpdater.exe");
    EXPECT_EQ(campos[6], build::Producto);
    EXPECT_EQ(version,
              std::make_tuple(true, build::VersionMajor, build::VersionMinor, build::VersionRevision));
}
