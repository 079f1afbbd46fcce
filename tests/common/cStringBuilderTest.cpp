// cStringBuilder: capacity steps, ranges and their numbered errors, writing.
#include "common/cStringBuilder.h"

#include "platform/ArchivoNativo.h"
#include "platform/ErroresSistema.h"
#include "support/ArbolPrueba.h"
#include "support/ErrorVisto.h"
#include "support/MensajesFalsos.h"

#include <gtest/gtest.h>

using namespace olvado;

using prueba::ErrorDe;

namespace {

// The builder's range errors, each from its member.
const prueba::ErrorVisto kLeer{-2147220992, "CStringBuilder.Chars",
                               "Tried reading character past end of buffer."},
    kAsignar{-2147220992, "CStringBuilder.Chars", "Tried assigning character past end of buffer."},
    kInsertar{-2147220992, "CStringBuilder.Insert", "Argument(s) out of range."},
    kQuitar{-2147220992, "CStringBuilder.Remove", "Argument(s) out of range."};

} // namespace

// 8192 bytes hold 4096 characters (exactly full), then 2048 bytes more, then
// a quarter more each time; the text survives every step.
TEST(cStringBuilderTest, CrecePorPasos) {
    cStringBuilder sb;
    EXPECT_EQ(std::make_tuple(sb.Length(), sb.Capacity(), sb.ToString(), sb.BufferBump()),
              std::make_tuple(0, 8192, "", 2048));
    std::string todo;
    char letra = 'a';
    for (auto [largo, capacidad] :
         {std::pair{4096, 8192}, {0, 8192}, {1, 10240}, {1024, 12800}, {1280, 16000}}) {
        todo += std::string(largo, letra);
        sb.Append(std::string(largo, letra++));
        EXPECT_EQ(sb.Capacity(), capacidad) << todo.size();
    }
    EXPECT_EQ(sb.ToString(), todo);
    EXPECT_EQ(sb.EnsureCapacity(100), 16000);
    EXPECT_EQ(sb.EnsureCapacity(16001), 20000);
}

TEST(cStringBuilderTest, CaracteresEInsercionesEnUnidadesUtf16) {
    cStringBuilder sb;
    sb.Append("añ\xF0\x9F\x98\x80"); // a surrogate pair is two characters
    EXPECT_EQ(sb.Length(), 4);
    EXPECT_EQ(sb.Chars(1), "ñ");
    EXPECT_EQ(sb.Chars(0), "a");
    EXPECT_EQ(ErrorDe([&] { sb.Chars(4); }), kLeer);
    EXPECT_EQ(ErrorDe([&] { sb.Chars(-1); }), kLeer);
    EXPECT_EQ(ErrorDe([&] { sb.Chars(4, "x"); }), kAsignar);
    sb.Chars(0, "éz");
    EXPECT_EQ(sb.Chars(0), "é");

    sb.Insert(sb.Length(), "!");
    EXPECT_EQ(sb.ToString(), "éñ\xF0\x9F\x98\x80!");
    EXPECT_EQ(ErrorDe([&] { sb.Insert(sb.Length() + 1, "x"); }), kInsertar);
    EXPECT_EQ(ErrorDe([&] { sb.Insert(-1, "x"); }), kInsertar);
    sb.Insert(1, "-").Insert(0, "<").Insert(2, "");
    EXPECT_EQ(sb.ToString(), "<é-ñ\xF0\x9F\x98\x80!");

    EXPECT_EQ(ErrorDe([&] { sb.Remove(sb.Length(), 1); }), kQuitar);
    EXPECT_EQ(ErrorDe([&] { sb.Remove(0, -1); }), kQuitar);
    EXPECT_EQ(sb.ToString(), "<é-ñ\xF0\x9F\x98\x80!"); // errors change nothing
    sb.Remove(2, 1);
    EXPECT_EQ(sb.ToString(), "<éñ\xF0\x9F\x98\x80!");
    sb.Remove(3);
    EXPECT_EQ(sb.ToString(), "<éñ");
    sb.Remove(0, sb.Length());
    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.ToString(), "");
}

// Values out of range are ignored; a fixed step is rounded up to even.
TEST(cStringBuilderTest, PropiedadesDeTamano) {
    cStringBuilder sb;
    sb.SizingMethod(2);
    sb.SizingPercent(0);
    sb.SizingPercent(101);
    sb.BufferBump(1001); // ignored in percent mode
    EXPECT_EQ(std::make_tuple(sb.SizingMethod(), sb.SizingPercent(), sb.BufferBump()),
              std::make_tuple(1, 25, 2048));
    sb.SizingMethod(0);
    sb.BufferBump(1001);
    sb.BufferBump(0);
    EXPECT_EQ(sb.BufferBump(), 1002);
    sb.BufferBump(2048);

    sb.Append(std::string(3000, 'x') + "yz");
    sb.Capacity(0);
    EXPECT_EQ(sb.Capacity(), 8192);
    sb.Capacity(1);
    EXPECT_EQ(std::make_pair(sb.Capacity(), sb.Length()), std::make_pair(2048, 1024));
    sb.Capacity(4096);
    EXPECT_EQ(sb.Capacity(), 4096);
    // Lengthening shows what the buffer held: the old text after a shortening.
    sb.Length(2);
    EXPECT_EQ(sb.ToString(), "xx");
    sb.Length(4);
    EXPECT_EQ(sb.ToString(), "xxxx");
    sb.Length(-1);
    EXPECT_EQ(sb.Length(), 4);
    sb.Length(3000);
    EXPECT_EQ(sb.Capacity(), 6144);
    EXPECT_EQ(sb.Chars(1023) + sb.Chars(1024), std::string("x\0", 2)); // never written: zero

    // A percent step that rounds to nothing still grows.
    cStringBuilder chico;
    chico.SizingPercent(1);
    chico.Capacity(50);
    chico.Append(std::string(200, 'q'));
    EXPECT_GE(chico.Capacity(), 400);
    EXPECT_EQ(chico.ToString(), std::string(200, 'q'));
}

TEST(cStringBuilderTest, EscribirConservaElTexto) {
    prueba::ArbolPrueba arbol;
    prueba::MensajesFalsos mensajes;
    std::string f = (arbol.Temporal() / "sb.txt").string();
    cStringBuilder sb;
    EXPECT_FALSE(sb.Escribir(f, true)); // nothing to write
    sb.Append("A").Append("ño");
    EXPECT_TRUE(sb.Escribir(f, true));
    EXPECT_TRUE(sb.Escribir(f, true)); // kept, appended again
    EXPECT_EQ(prueba::LeerArchivo(f), "A\xF1oA\xF1o");

    platform::ArchivoNativo otro;
    ASSERT_TRUE(otro.Abrir(f, platform::ArchivoNativo::Modo::LeerEscribir));
    EXPECT_FALSE(sb.Escribir(f, false));
    EXPECT_EQ(mensajes.Cantidad(), 0);
    EXPECT_FALSE(sb.Escribir(f, false, true));
    ASSERT_EQ(mensajes.Cantidad(), 1);
    const auto& m = mensajes.Ultimo();
    EXPECT_EQ(std::tie(m.texto, m.estilo, m.titulo),
              std::make_tuple("No se pudo guardar archivo: \r\n\r\n" + f + "\r\n\r\n" +
                                  platform::TextoErrorSistema(platform::kErrorArchivoEnUso),
                              48, "Error"));
}
