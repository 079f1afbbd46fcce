// FileTool's rules. The Windows examples are written as the rules state them
// and hold in both builds; the file members run against real files in the
// test's own tree (native paths: "/" on Linux, "\" on Windows).
#include "common/FileTool.h"

#include "base/ErrorOlvado.h"
#include "platform/ArchivoNativo.h"
#include "platform/Rutas.h"
#include "support/ArbolPrueba.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using namespace olvado;
namespace fs = std::filesystem;

namespace {

// A test tree, the tool, and the tree's folder as the program's text, with its separator.
struct FileToolTest : testing::Test {
    prueba::ArbolPrueba arbol;
    FileTool ft;
    std::string dir = ft.Ruta_CalificarRuta(arbol.Temporal().string());
};

} // namespace

TEST_F(FileToolTest, RutasDeWindowsComoEstanEscritas) {
    EXPECT_EQ(ft.Ruta_ExtraerRuta("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(ft.Ruta_ExtraerRuta("  C:\\a\\  "), "C:\\a\\");
    EXPECT_EQ(ft.Ruta_ExtraerRuta("C:\\"), "C:\\");
    EXPECT_EQ(ft.Ruta_ExtraerRuta("b.txt"), "");
    EXPECT_EQ(ft.Ruta_ExtraerRuta("   "), "");

    EXPECT_EQ(ft.Ruta_CalificarRuta(""), "\\");
    EXPECT_EQ(ft.Ruta_CalificarRuta("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(ft.Ruta_CalificarRuta("C:\\a"), "C:\\a\\");

    EXPECT_EQ(ft.Ruta_ObtenerNombreArchivo("C:\\a\\b.tar.gz"), "b.tar");
    EXPECT_EQ(ft.Ruta_ObtenerNombreArchivo("C:\\a\\b.tar.gz", true), "b.tar.gz");
    EXPECT_EQ(ft.Ruta_ObtenerNombreArchivo("b"), "b");

    EXPECT_EQ(ft.Ruta_ObtenerExtension("C:\\a\\b.txt"), ".txt");
    EXPECT_EQ(ft.Ruta_ObtenerExtension("C:\\a\\b.txt", true), "txt");
    EXPECT_EQ(ft.Ruta_ObtenerExtension("C:\\a.d\\b"), "");
    EXPECT_EQ(ft.Ruta_ObtenerExtension("C:\\a.d\\b", true), "");

    EXPECT_EQ(ft.Ruta_ObtenerRaiz("C:\\dir\\file"), "C:");
    EXPECT_EQ(ft.Ruta_ObtenerRaiz("C:\\"), "C:\\");
    EXPECT_EQ(ft.Ruta_QuitarRaiz("C:\\dir\\file"), "dir\\file");
    EXPECT_EQ(ft.Ruta_QuitarRaiz("dir\\file"), "");
    EXPECT_EQ(ft.Ruta_QuitarRaiz("\\\\server\\share\\dir\\f"), "dir\\f");

    EXPECT_TRUE(ft.UNC_EsRutaUNCValida("\\\\server\\share"));
    EXPECT_FALSE(ft.UNC_EsRutaUNCValida("C:\\server\\share"));
    EXPECT_FALSE(ft.UNC_EsRutaUNCValida("\\server"));
}

TEST_F(FileToolTest, LimpiarNombreArchivo) {
    EXPECT_EQ(ft.LimpiarNombreArchivo(" a:b.c "), "ab_c");
    EXPECT_EQ(ft.LimpiarNombreArchivo(" a:b.c ", false, true), "ab.c");
    EXPECT_EQ(ft.LimpiarNombreArchivo(" a:b.c ", true), "_ab_c_");
    EXPECT_EQ(ft.LimpiarNombreArchivo(""), "");
    EXPECT_EQ(ft.LimpiarNombreArchivo("a/;=,[]\\?*\"b"), "a__________b");
    EXPECT_EQ(ft.LimpiarNombreArchivo("<año|b>"), "<año|b>");
}

TEST_F(FileToolTest, CarpetasEspecialesYDeDatos) {
    std::string docs = ft.Ruta_MisDocumentos();
    ASSERT_FALSE(docs.empty());
    EXPECT_FALSE(platform::EsSeparadorRuta(docs.back())) << docs;
    EXPECT_EQ(ft.Ruta_RutaEspecial(0, 5), docs);
    EXPECT_EQ(ft.Ruta_RutaEspecial(0, -77), "");

    std::string compania, producto, otra = "Otra", prod = "P";
    std::string datos = ft.Ruta_ArchivoDeDatos(0, true, compania, producto);
    EXPECT_EQ(std::tie(compania, producto), std::make_tuple("Olvado Systems", "Olvado"));
    const char s = datos.back();
    EXPECT_TRUE(platform::EsSeparadorRuta(s));
    EXPECT_EQ(datos, ft.Ruta_RutaEspecial(0, 35) + s + "Olvado Systems" + s + "Olvado" + s);
    EXPECT_EQ(ft.Ruta_ArchivoDeDatos(0, false, otra, prod),
              ft.Ruta_RutaEspecial(0, 26) + s + "Otra" + s + "P" + s);
    EXPECT_EQ(otra, "Otra");
}

TEST_F(FileToolTest, ArchivosTemporales) {
    std::string carpeta = ft.RutaTemporal();
    ASSERT_FALSE(carpeta.empty());
    EXPECT_TRUE(platform::EsSeparadorRuta(carpeta.back()));

    std::string a = "sin cambio", b;
    ASSERT_TRUE(ft.NombreNuevoArchivoTemporal(a));
    ASSERT_TRUE(ft.NombreNuevoArchivoTemporal(b));
    EXPECT_NE(a, b);
    for (const auto& r : {a, b}) {
        EXPECT_EQ(ft.Ruta_ExtraerRuta(r), carpeta);
        // Windows writes the number in hexadecimal without leading zeros.
        EXPECT_TRUE(std::regex_match(ft.Ruta_ObtenerNombreArchivo(r, true),
                                     std::regex("Olv[0-9A-Fa-f]{1,4}\\.tmp", std::regex::icase)))
            << r;
        EXPECT_TRUE(fs::exists(r) && fs::file_size(r) == 0) << r;
    }

    std::string ruta;
    ASSERT_TRUE(ft.NombreNuevaRutaTemporal(ruta));
    EXPECT_TRUE(platform::EsSeparadorRuta(ruta.back()));
    EXPECT_TRUE(ft.FolderExist(ruta));

    std::string escrito;
    ASSERT_TRUE(ft.WriteFileTemporal({'x', 0, 'y'}, escrito));
    EXPECT_EQ(prueba::LeerArchivo(escrito), std::string("x\0y", 3));

    platform::ArchivoNativo nf;
    std::string abierto;
    ASSERT_TRUE(ft.ArchivoTemporal_Abrir(abierto, nf, false));
    EXPECT_TRUE(ft.ArchivoTemporal_Escribir({'1', '2'}, nf));
    EXPECT_TRUE(ft.ArchivoTemporal_Escribir({'3'}, nf));
    EXPECT_TRUE(ft.ArchivoTemporal_Cerrar(nf));
    EXPECT_EQ(prueba::LeerArchivo(abierto), "123");
}

TEST_F(FileToolTest, ExistenciaDeArchivosYCarpetas) {
    prueba::EscribirArchivo(dir + "uno.txt", "1");
    const std::string sinSeparador = dir.substr(0, dir.size() - 1);
    for (const std::string& carpeta : {dir, sinSeparador, "  " + dir + "  "})
        EXPECT_TRUE(ft.FolderExist(carpeta)) << carpeta;
    for (const std::string& otra :
         {dir + "uno.txt", dir + "nada", std::string(platform::EsSeparadorRuta('/') ? "/" : "C:\\")})
        EXPECT_FALSE(ft.FolderExist(otra)) << otra;
    for (const std::string& archivo : {dir + "uno.txt", sinSeparador, dir + "*.txt", dir + "u?o.*"})
        EXPECT_TRUE(ft.FileExist(archivo)) << archivo;
    for (const std::string& otro : {dir + "*.doc", dir + "dos.txt", std::string()})
        EXPECT_FALSE(ft.FileExist(otro)) << otro;
}

TEST_F(FileToolTest, LeerYEscribirArchivosEnteros) {
    std::vector<uint8_t> bytes{9};
    EXPECT_FALSE(ft.ReadFileToBytes(dir + "falta.bin", bytes));
    EXPECT_EQ(bytes, std::vector<uint8_t>{9});
    prueba::EscribirArchivo(dir + "vacio.bin", "");
    ASSERT_TRUE(ft.ReadFileToBytes(dir + "vacio.bin", bytes));
    EXPECT_TRUE(bytes.empty());
    prueba::EscribirArchivo(dir + "datos.bin", std::string("a\0\xFF", 3));
    ASSERT_TRUE(ft.ReadFileToBytes(dir + "datos.bin", bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'a', 0, 0xFF}));

    std::string f = dir + "texto.txt";
    bool append = true; // a missing file: written in binary form, no CR LF
    EXPECT_TRUE(ft.Archivo_EscribirString("Año", f, false, false, append, 0, true));
    EXPECT_FALSE(append);
    EXPECT_EQ(prueba::LeerArchivo(f), "A\xF1o");
    append = true;
    EXPECT_TRUE(ft.Archivo_EscribirString("dos", f, false, false, append));
    EXPECT_TRUE(append);
    EXPECT_EQ(prueba::LeerArchivo(f), "A\xF1odos\r\n");
    EXPECT_TRUE(ft.Archivo_EscribirString("tres", f, false, false, append, 0, true));
    std::string con = prueba::LeerArchivo(f);
    EXPECT_TRUE(std::regex_match(con, std::regex("A\xF1odos\r\n\r\n\\*\\*\\* Fecha y Hora: [^\r\n]+ \\*\\*\\*"
                                                 "\r\n\r\ntres\r\n")))
        << con;
    // Past the restart size: the file starts again, in binary form.
    EXPECT_TRUE(ft.Archivo_EscribirString("cuatro", f, false, false, append, 10));
    EXPECT_FALSE(append);
    EXPECT_EQ(prueba::LeerArchivo(f), "cuatro");
    // Without SobreEscribir the old bytes beyond the new text remain.
    EXPECT_TRUE(ft.Archivo_EscribirString("XY", f));
    EXPECT_EQ(prueba::LeerArchivo(f), "XYatro");
    EXPECT_TRUE(ft.Archivo_EscribirString("XY", f, true));
    EXPECT_EQ(prueba::LeerArchivo(f), "XY");
    EXPECT_FALSE(ft.Archivo_EscribirString("x", dir + "no" + std::string(1, dir.back()) + "f.txt"));
    // Through a temporary file and the shell's move.
    EXPECT_TRUE(ft.Archivo_EscribirString("movido", dir + "movido.txt", false, true));
    EXPECT_EQ(prueba::LeerArchivo(dir + "movido.txt"), "movido");
}

TEST_F(FileToolTest, AbiertoPorOtroYMover) {
    std::string f = dir + "abierto.txt";
    prueba::EscribirArchivo(f, "x");
    EXPECT_FALSE(ft.Archivo_ArchivoYaEstaAbierto(f));
    {
        platform::ArchivoNativo otro;
        ASSERT_TRUE(otro.Abrir(f, platform::ArchivoNativo::Modo::LeerEscribir));
        EXPECT_TRUE(ft.Archivo_ArchivoYaEstaAbierto(f));
        // Our own writers are refused while another holds the file.
        EXPECT_FALSE(ft.Archivo_EscribirString("y", f, true));
    }
    EXPECT_FALSE(ft.Archivo_ArchivoYaEstaAbierto(f));
    EXPECT_FALSE(ft.Archivo_ArchivoYaEstaAbierto(dir + "falta.txt"));
    EXPECT_EQ(prueba::LeerArchivo(f), "x");

    EXPECT_TRUE(ft.SH_MoverArchivo(f, dir + "movido.txt"));
    EXPECT_FALSE(ft.FileExist(f));
    EXPECT_EQ(prueba::LeerArchivo(dir + "movido.txt"), "x");
    EXPECT_FALSE(ft.Ruta_Borrar(dir + "movido.txt"));
    EXPECT_FALSE(ft.Ruta_EliminarRuta(dir));
    EXPECT_TRUE(ft.FileExist(dir + "movido.txt"));
}

TEST_F(FileToolTest, RutaCompactada) {
    std::string larga = "C:\\Archivos de programa\\Olvado Systems\\Olvado\\Subcarpeta\\Olvado.exe";
    EXPECT_EQ(ft.Ruta_RutaCompactada(0, 100000, larga), larga);
    std::string corta = ft.Ruta_RutaCompactada(0, 2000, larga);
    EXPECT_LT(corta.size(), larga.size());
    EXPECT_NE(corta.find("..."), std::string::npos) << corta;
    EXPECT_EQ(corta.substr(corta.size() - 10), "Olvado.exe") << corta;
}

TEST_F(FileToolTest, ObtenerYVerificarHash) {
    const std::string ruta = dir + "paquete.exe", falta = dir + "falta.exe";
    prueba::EscribirArchivo(ruta, std::string(100, 'x'));
    const std::string digest = "AED563ECAFB4BCC5654C597A421547B2"; // md5sum of 100 bytes "x"
    EXPECT_EQ(ft.MD5ObtenerHash(ruta), digest);
    EXPECT_TRUE(ft.MD5VerificarHash(ruta, digest));
    EXPECT_TRUE(ft.MD5VerificarHash(ruta, "  aed563ecafb4bcc5654c597a421547b2 "));
    // Only blanks are trimmed.
    for (const char* otro : {"AED563ECAFB4BCC5654C597A421547B3", "AED563EC AFB4BCC5654C597A421547B2",
                             "\tAED563ECAFB4BCC5654C597A421547B2"})
        EXPECT_FALSE(ft.MD5VerificarHash(ruta, otro)) << otro;
    // A blank digest answers false without reading the file, even a missing one.
    EXPECT_FALSE(ft.MD5VerificarHash(falta, "   "));
    EXPECT_FALSE(ft.MD5VerificarHash(falta, ""));
    EXPECT_THROW(ft.MD5VerificarHash(falta, digest), ErrorOlvado);
}
