// The built olvado-admin, run as a separate program.
#include "BuildInfo.h"
#include "common/clsEncriptor.h"
#include "support/ArbolPrueba.h"
#include "support/EjecutarAdmin.h"
#include "support/EscritorPE.h"

#include <gtest/gtest.h>

using namespace olvado;
using namespace olvado::prueba;

namespace {

using Resultado = ResultadoAdmin;

Resultado Admin(const ArbolPrueba& arbol, const std::vector<std::string>& argumentos) {
    return EjecutarAdmin(arbol, argumentos);
}

} // namespace

TEST(AdminTest, CifrarYDescifrar) {
    ArbolPrueba arbol;
    const std::string texto = "Contraseña del administrador";
    const Resultado cifrado = Admin(arbol, {"cifrar", texto});
    ASSERT_EQ(cifrado.codigo, 0) << cifrado.error;
    ASSERT_EQ(cifrado.salida.size(), 10u + 2u * (texto.size() - 1 + 7) + 1) << cifrado.salida;
    ASSERT_EQ(cifrado.salida.back(), '\n');
    std::string c = cifrado.salida.substr(0, cifrado.salida.size() - 1);

    bool exito = false;
    clsEncriptor encriptor;
    EXPECT_EQ(encriptor.Decrypt(c, exito), texto);
    EXPECT_TRUE(exito);

    const Resultado descifrado = Admin(arbol, {"descifrar", cifrado.salida.substr(0, cifrado.salida.size() - 1)});
    EXPECT_EQ(descifrado.codigo, 0) << descifrado.error;
    EXPECT_EQ(descifrado.salida, texto + "\n");

    for (const std::string falso : {"ZZ", "", "00941EA836A02F943833333333"}) {
        const Resultado r = Admin(arbol, {"descifrar", falso});
        EXPECT_EQ(r.codigo, 1) << falso;
        EXPECT_EQ(r.salida, "") << falso;
        EXPECT_NE(r.error.find("no es un cifrado"), std::string::npos) << r.error;
    }
}

TEST(AdminTest, Md5DeUnArchivo) {
    ArbolPrueba arbol;
    EscribirArchivo(arbol.Temporal() / "abc.bin", "abc");
    Resultado r = Admin(arbol, {"md5", (arbol.Temporal() / "abc.bin").string()});
    EXPECT_EQ(r.codigo, 0) << r.error;
    EXPECT_EQ(r.salida, "900150983CD24FB0D6963F7D28E17F72\n");

    r = Admin(arbol, {"md5", (arbol.Temporal() / "falta.bin").string()});
    EXPECT_EQ(r.codigo, 1);
    EXPECT_EQ(r.salida, "");
    EXPECT_NE(r.error.find("falta.bin"), std::string::npos) << r.error;
}

TEST(AdminTest, VersionDeUnEjecutable) {
    ArbolPrueba arbol;
    DatosVersionPE datos = VersionCompleta("1.00.0066");
    datos.tablas[0].valores[0].second = "Compañía";
    EscribirArchivo(arbol.Temporal() / "olvado.exe", ArchivoPE(BloqueVersion(datos)));
    Resultado r = Admin(arbol, {"version", (arbol.Temporal() / "olvado.exe").string()});
    EXPECT_EQ(r.codigo, 0) << r.error;
    EXPECT_EQ(r.salida, "CompanyName=Compañía\n"
                        "FileDescription=Programa principal\n"
                        "FileVersion=1.00.0066\n"
                        "InternalName=Olvado\n"
                        "LegalCopyright=Copyright (C) Olvado Systems\n"
                        "OriginalFileName=Olvado.exe\n"
                        "ProductName=Olvado\n"
                        "ProductVersion=1.00.0066\n"
                        "Version=1.0.66\n");

    // Answer 2 (no LegalCopyright), then a FileVersion of two pieces.
    datos.tablas[0].valores.erase(datos.tablas[0].valores.begin() + 4);
    EscribirArchivo(arbol.Temporal() / "sin.exe", ArchivoPE(BloqueVersion(datos)));
    EscribirArchivo(arbol.Temporal() / "dos.exe", ArchivoPE(BloqueVersion(VersionCompleta("3.1"))));
    for (const char* nombre : {"sin.exe", "dos.exe", "falta.exe"}) {
        r = Admin(arbol, {"version", (arbol.Temporal() / nombre).string()});
        EXPECT_EQ(r.codigo, 1) << nombre;
        EXPECT_EQ(r.salida, "") << nombre;
        EXPECT_FALSE(r.error.empty()) << nombre;
    }
}

TEST(AdminTest, AyudaYUsoIncorrecto) {
    ArbolPrueba arbol;
    Resultado r = Admin(arbol, {"--help"});
    EXPECT_EQ(r.codigo, 0);
    for (const char* orden : {"cifrar TEXTO", "descifrar CIFRADO", "md5 ARCHIVO", "version ARCHIVO"})
        EXPECT_NE(r.salida.find(orden), std::string::npos) << orden;
    EXPECT_NE(r.salida.find("Olvado Systems"), std::string::npos);

    // The packages carry the build's version; the tool reports the same one.
    r = Admin(arbol, {"--version"});
    EXPECT_EQ(r.codigo, 0);
    EXPECT_EQ(r.salida, "olvado-admin " + std::to_string(build::VersionMajor) + "." +
                            std::to_string(build::VersionMinor) + "." + std::to_string(build::VersionRevision) + "\n");

    for (const std::vector<std::string>& mal :
         {std::vector<std::string>{}, {"cifrar"}, {"md5", "a", "b"}, {"publicar"}}) {
        r = Admin(arbol, mal);
        EXPECT_EQ(r.codigo, 2) << (mal.empty() ? "" : mal[0]);
        EXPECT_EQ(r.salida, "");
        EXPECT_FALSE(r.error.empty());
    }
}
