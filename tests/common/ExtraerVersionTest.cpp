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

// Writes a PE file with the given version data; answers its path.
std::string Escribir(const ArbolPrueba& arbol, const std::string& nombre, const DatosVersionPE& datos) {
    const auto ruta = arbol.Temporal() / nombre;
    EscribirArchivo(ruta, ArchivoPE(BloqueVersion(datos), datos.traducciones.empty() ? 0x0C0A : datos.traducciones[0].first));
    return ruta.string();
}

// The eight texts in the order the reader fills them.
std::vector<std::string> Campos(const InformacionVersion& i) {
    return {i.CompanyName,    i.FileDescription,  i.FileVersion, i.InternalName,
            i.LegalCopyright, i.OriginalFileName, i.ProductName, i.ProductVersion};
}

struct Triple {
    int32_t a = -1, b = -1, c = -1;
};

} // namespace

// These files go through the build's own implementation: version.dll in the
// Windows build (under Wine), our PE reader in the Linux build.
TEST(ExtraerVersionTest, CuatroPartesYCerosALaIzquierda) {
    ArbolPrueba arbol;
    const std::string cuatro = Escribir(arbol, "cuatro.exe", VersionCompleta("2.1.3.4"));
    InformacionVersion info;
    ASSERT_EQ(ExtraerInformacionVersion(cuatro, info), 1);
    EXPECT_EQ(Campos(info), (std::vector<std::string>{"Olvado Systems", "Programa principal", "2.1.3.4", "Olvado",
                                                      "Copyright (C) Olvado Systems", "Olvado.exe", "Olvado",
                                                      "2.1.3.4"}));
    Triple v;
    EXPECT_TRUE(VersionArchivo(cuatro, v.a, v.b, v.c));
    EXPECT_EQ(std::tie(v.a, v.b, v.c), std::make_tuple(2, 1, 3));

    const std::string ceros = Escribir(arbol, "ceros.exe", VersionCompleta("1.00.0066"));
    EXPECT_TRUE(VersionArchivo(ceros, v.a, v.b, v.c));
    EXPECT_EQ(std::tie(v.a, v.b, v.c), std::make_tuple(1, 0, 66));
}

TEST(ExtraerVersionTest, SinLegalCopyrightResponde2) {
    ArbolPrueba arbol;
    DatosVersionPE datos = VersionCompleta("1.2.3");
    datos.tablas[0].valores.erase(datos.tablas[0].valores.begin() + 4);
    const std::string ruta = Escribir(arbol, "sin-copyright.exe", datos);
    InformacionVersion info;
    info.ProductName = "previo";
    EXPECT_EQ(ExtraerInformacionVersion(ruta, info), 2);
    // Read up to the missing one; every value is cleared first.
    EXPECT_EQ(Campos(info), (std::vector<std::string>{"Olvado Systems", "Programa principal", "1.2.3", "Olvado", "",
                                                      "", "", ""}));
    Triple v;
    EXPECT_FALSE(VersionArchivo(ruta, v.a, v.b, v.c));
    EXPECT_EQ(v.a, -1) << "nothing is written on failure";
}

// The first translation names the second table; key names and the table
// name differ in letter case from the queries, as resource compilers write them.
TEST(ExtraerVersionTest, PrimeraTraduccionNoEsLaPrimeraTabla) {
    ArbolPrueba arbol;
    DatosVersionPE datos = VersionCompleta("5.6.7");
    datos.traducciones = {{0x0C0A, 1252}, {0x0409, 1200}};
    datos.tablas[0].clave = "0c0a04e4";
    datos.tablas[0].valores[5].first = "OriginalFilename";
    datos.tablas[0].valores[0].second = "Compañía Olvado";
    DatosVersionPE ingles = VersionCompleta("9.9.9");
    ingles.tablas[0].clave = "040904B0";
    ingles.tablas[0].valores[0].second = "English company";
    datos.tablas.insert(datos.tablas.begin(), ingles.tablas[0]);
    const std::string ruta = Escribir(arbol, "tablas.exe", datos);

    InformacionVersion info;
    ASSERT_EQ(ExtraerInformacionVersion(ruta, info), 1);
    EXPECT_EQ(info.CompanyName, "Compañía Olvado");
    EXPECT_EQ(info.FileVersion, "5.6.7");
    EXPECT_EQ(info.OriginalFileName, "Olvado.exe");
    Triple v;
    EXPECT_TRUE(VersionArchivo(ruta, v.a, v.b, v.c));
    EXPECT_EQ(v.a, 5);
    EXPECT_EQ(v.c, 7);

    // Language 0x0409 first: the English table, key "040904B0".
    std::swap(datos.traducciones[0], datos.traducciones[1]);
    const std::string otra = Escribir(arbol, "ingles.exe", datos);
    ASSERT_EQ(ExtraerInformacionVersion(otra, info), 1);
    EXPECT_EQ(info.CompanyName, "English company");
    EXPECT_EQ(info.FileVersion, "9.9.9");
}

TEST(ExtraerVersionTest, VersionesQueNoSonTresNumeros) {
    ArbolPrueba arbol;
    Triple v;
    for (const char* version : {"3.1", "1.x.3", "1..3", "", "7"}) {
        const std::string ruta = Escribir(arbol, "corta.exe", VersionCompleta(version));
        InformacionVersion info;
        EXPECT_EQ(ExtraerInformacionVersion(ruta, info), 1) << version;
        EXPECT_FALSE(VersionArchivo(ruta, v.a, v.b, v.c)) << version;
    }
    for (const std::string nombre : {"falta.exe", ""}) {
        InformacionVersion info;
        EXPECT_EQ(ExtraerInformacionVersion((arbol.Temporal() / nombre).string(), info), 2);
        EXPECT_FALSE(VersionArchivo((arbol.Temporal() / nombre).string(), v.a, v.b, v.c));
    }
    EscribirArchivo(arbol.Temporal() / "roto.exe", ArchivoPE(BloqueVersion(VersionCompleta("1.2.3"))).substr(0, 0x300));
    InformacionVersion info;
    EXPECT_EQ(ExtraerInformacionVersion((arbol.Temporal() / "roto.exe").string(), info), 2);
}

// The project's own updater. The Windows build reads its own executable and
// finds the build's identity in it; the Linux build's updater is an ELF file
// without a version resource, and the Windows build's executable beside it
// (scripts/test always builds both) is read with our reader.
TEST(ExtraerVersionTest, ElPropioOlvadoUpdater) {
    const std::string propio = OLVADO_UPDATER_BIN;
    std::vector<std::string> ejecutables;
    if (propio.size() > 4 && propio.substr(propio.size() - 4) == ".exe") {
        ejecutables.push_back(propio);
    } else {
        InformacionVersion info;
        EXPECT_EQ(ExtraerInformacionVersion(propio, info), 2);
        EXPECT_EQ(info.CompanyName, "");
        const std::string windows = std::string(OLVADO_BINARY_DIR) + "/../win/OlvadoUpdater.exe";
        if (std::filesystem::exists(windows))
            ejecutables.push_back(windows);
    }
    for (const std::string& exe : ejecutables) {
        InformacionVersion info;
        ASSERT_EQ(ExtraerInformacionVersion(exe, info), 1) << exe;
        EXPECT_EQ(info.CompanyName, build::Compania);
        EXPECT_EQ(info.ProductName, build::Producto);
        EXPECT_EQ(info.OriginalFileName, "OlvadoUpdater.exe");
        Triple v;
        ASSERT_TRUE(VersionArchivo(exe, v.a, v.b, v.c));
        EXPECT_EQ(std::tie(v.a, v.b, v.c),
                  std::make_tuple(build::VersionMajor, build::VersionMinor, build::VersionRevision));
    }
}
