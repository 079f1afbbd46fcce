#include "common/FileTool.h"

#include "base/ErrorOlvado.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

using namespace olvado;
using olvado::prueba::ArbolPrueba;

TEST(FileToolMD5Test, ObtenerYVerificarHash) {
    ArbolPrueba arbol;
    const std::string ruta = (arbol.Temporal() / "paquete.exe").string();
    prueba::EscribirArchivo(ruta, std::string(100, 'x'));
    FileTool ft;
    // md5sum of 100 bytes "x".
    const std::string digest = "AED563ECAFB4BCC5654C597A421547B2";
    EXPECT_EQ(ft.MD5ObtenerHash(ruta), digest);
    EXPECT_TRUE(ft.MD5VerificarHash(ruta, digest));
    EXPECT_TRUE(ft.MD5VerificarHash(ruta, "  aed563ecafb4bcc5654c597a421547b2 "));
    EXPECT_FALSE(ft.MD5VerificarHash(ruta, "AED563ECAFB4BCC5654C597A421547B3"));
    EXPECT_FALSE(ft.MD5VerificarHash(ruta, "AED563EC AFB4BCC5654C597A421547B2"));
    EXPECT_FALSE(ft.MD5VerificarHash(ruta, "\tAED563ECAFB4BCC5654C597A421547B2")) << "only blanks are trimmed";

    // A blank digest answers false without reading the file, even a missing one.
    const std::string falta = (arbol.Temporal() / "falta.exe").string();
    EXPECT_FALSE(ft.MD5VerificarHash(falta, "   "));
    EXPECT_FALSE(ft.MD5VerificarHash(falta, ""));
    EXPECT_THROW(ft.MD5VerificarHash(falta, digest), ErrorOlvado);
    EXPECT_THROW(ft.MD5ObtenerHash(falta), ErrorOlvado);
}
