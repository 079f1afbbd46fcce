#include "platform/LectorVersionPE.h"

#include "support/ArbolPrueba.h"
#include "support/EscritorPE.h"

#include <gtest/gtest.h>

#include <vector>

using namespace olvado;
using namespace olvado::prueba;
using platform::ConsultarValorVersion;
using platform::FuenteMemoria;
using platform::LeerRecursoVersionPE;

namespace {

// A copy in a buffer of exactly its size, so that the sanitizers catch any
// read past its end.
std::vector<char> Copia(const std::string& s, std::size_t n) {
    return {s.begin(), s.begin() + n};
}
std::string_view Vista(const std::vector<char>& v) {
    return {v.data(), v.size()};
}

std::string Texto(std::string_view recurso, const std::string& subBloque) {
    std::string valor;
    bool esTexto = false;
    if (!ConsultarValorVersion(recurso, subBloque, valor, esTexto))
        return "<no>";
    EXPECT_TRUE(esTexto) << subBloque;
    std::string ascii;
    for (std::size_t i = 0; i + 1 < valor.size(); i += 2)
        ascii += valor[i + 1] ? '?' : valor[i];
    return ascii.substr(0, ascii.find('\0'));
}

// Every query the version reading makes, on whatever the reader accepted.
void ConsultarTodo(std::string_view recurso) {
    std::string valor;
    bool esTexto = false;
    for (const char* sub : {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\0C0A04E4\\CompanyName",
                            "\\StringFileInfo\\0C0A04E4\\ProductVersion", "\\StringFileInfo\\x\\y\\z"})
        ConsultarValorVersion(recurso, sub, valor, esTexto);
}

} // namespace

TEST(LectorVersionPETest, ConsultaComoVerQueryValue) {
    DatosVersionPE datos = VersionCompleta("2.1.3.4");
    datos.tablas.insert(datos.tablas.begin(), {"040904B0", {{"CompanyName", "Other"}}});
    datos.tablas[1].clave = "0c0a04e4";
    datos.tablas[1].valores[5].first = "OriginalFilename";
    const std::string pe = ArchivoPE(BloqueVersion(datos));

    std::string recurso;
    ASSERT_TRUE(LeerRecursoVersionPE(FuenteMemoria(pe), recurso));
    EXPECT_EQ(recurso, BloqueVersion(datos));
    EXPECT_EQ(Texto(recurso, "\\StringFileInfo\\0C0A04E4\\CompanyName"), "Olvado Systems");
    EXPECT_EQ(Texto(recurso, "\\StringFileInfo\\040904B0\\CompanyName"), "Other");
    EXPECT_EQ(Texto(recurso, "\\\\stringfileinfo\\0C0A04E4\\\\ORIGINALFILENAME"), "Olvado.exe");
    EXPECT_EQ(Texto(recurso, "\\StringFileInfo\\0C0A04E4\\FileVersion"), "2.1.3.4");
    EXPECT_EQ(Texto(recurso, "\\StringFileInfo\\040904B0\\FileVersion"), "<no>");
    EXPECT_EQ(Texto(recurso, "\\StringFileInfo\\0C0A04E4\\FileVersio"), "<no>");

    std::string valor;
    bool esTexto = true;
    ASSERT_TRUE(ConsultarValorVersion(recurso, "\\VarFileInfo\\Translation", valor, esTexto));
    EXPECT_FALSE(esTexto);
    EXPECT_EQ(valor, std::string("\x0A\x0C\xE4\x04", 4));
    ASSERT_TRUE(ConsultarValorVersion(recurso, "\\", valor, esTexto));
    EXPECT_EQ(valor.size(), 52u);
    EXPECT_EQ(valor.substr(0, 4), "\xBD\x04\xEF\xFE");
}

// A file cut anywhere before the end of its resource is refused; cut after
// it, the resource is read whole. Nothing outside the bytes is ever read.
TEST(LectorVersionPETest, ArchivoTruncadoEnCualquierPunto) {
    const std::string bloque = BloqueVersion(VersionCompleta("1.0.0"));
    const std::string pe = ArchivoPE(bloque);
    for (std::size_t n = 0; n <= pe.size(); ++n) {
        std::string recurso;
        const bool leido = LeerRecursoVersionPE(FuenteMemoria(Vista(Copia(pe, n))), recurso);
        EXPECT_EQ(leido, n >= kPosicionBloquePE + bloque.size()) << n;
        if (leido) {
            EXPECT_EQ(recurso, bloque) << n;
        }
    }
    for (std::size_t n = 0; n < bloque.size(); ++n)
        ConsultarTodo(Vista(Copia(bloque, n)));
}

// Any byte of the headers, the directories or the block set to 0x00, 0x7F,
// 0x80 or 0xFF: the reader answers either way but stays inside the bytes.
TEST(LectorVersionPETest, BytesCorruptosNoLeenFuera) {
    const std::string pe = ArchivoPE(BloqueVersion(VersionCompleta("1.0.0")));
    int aceptados = 0;
    for (std::size_t p = 0; p < pe.size(); ++p) {
        for (unsigned char b : {0x00, 0x7F, 0x80, 0xFF}) {
            std::string corrupto = pe;
            corrupto[p] = static_cast<char>(b);
            std::string recurso;
            if (LeerRecursoVersionPE(FuenteMemoria(Vista(Copia(corrupto, corrupto.size()))), recurso)) {
                ++aceptados;
                ConsultarTodo(Vista(Copia(recurso, recurso.size())));
            }
        }
    }
    EXPECT_GT(aceptados, 0);
    for (const char* basura : {"", "MZ", "hola mundo",
                               "\x7F"
                               "ELF\x02\x01\x01"}) {
        std::string recurso;
        EXPECT_FALSE(LeerRecursoVersionPE(FuenteMemoria(basura), recurso)) << basura;
    }
}

TEST(LectorVersionPETest, ArchivosQueNoSonPE) {
    ArbolPrueba arbol;
    std::string recurso;
    EXPECT_FALSE(LeerRecursoVersionPE((arbol.Temporal() / "falta.exe").string(), recurso));
    EXPECT_FALSE(LeerRecursoVersionPE(arbol.Temporal().string(), recurso));
    // A PE file without resources, beside the same file with them.
    std::string pe = ArchivoPE(BloqueVersion(VersionCompleta("1.0.0")));
    EscribirArchivo(arbol.Temporal() / "bueno.exe", pe);
    EXPECT_TRUE(LeerRecursoVersionPE((arbol.Temporal() / "bueno.exe").string(), recurso));
    EscribirArchivo(arbol.Temporal() / "sin.exe", pe.replace(0x58 + 112 + 16, 8, 8, '\0'));
    EXPECT_FALSE(LeerRecursoVersionPE((arbol.Temporal() / "sin.exe").string(), recurso));
}
