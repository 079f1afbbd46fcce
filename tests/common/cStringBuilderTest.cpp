// cStringBuilder: capacity steps, ranges and their numbered errors, writing.
#include "common/cStringBuilder.h"

#include "platform/ArchivoNativo.h"
#include "support/ArbolPrueba.h"
#include "support/ErrorVisto.h"
#include "support/MensajesFalsos.h"

#include <gtest/gtest.h>

using namespace olvado;

using prueba::ErrorDe;

namespace {

// The builder's range errors, each from its member.
const prueba::ErrorVisto kLeer{-2147220992, "CStringBuilder.Chars", "Tried reading character past end of buffer."},
    kAsignar{-2147220992, "CStringBuilder.Chars", "Tried assigning character past end of buffer."},
    kInsertar{-2147220992, "CStringBuilder.Insert", "Argument(s) out of range."},
    kQuitar{-2147220992, "CStringBuilder.Remove", "Argument(s) out of range."};

} // namespace

TEST(cStringBuilderTest, CrecePorPasos) {
    cStringBuilder sb;
    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.Capacity(), 8192);
    EXPECT_EQ(sb.ToString(), "");
    EXPECT_EQ(sb.BufferBump(), 2048);
    sb.Append(std::string(4096, 'a'));
    EXPECT_EQ(sb.Capacity(), 8192); // exactly full
    sb.Append("");
    EXPECT_EQ(sb.Capacity(), 8192);
    sb.Append("b");
    EXPECT_EQ(sb.Capacity(), 10240);
    sb.Append(std::string(10240 / 2 - 4097, 'c')).Append("d");
    EXPECT_EQ(sb.Capacity(), 12800);
    sb.Append(std::string(12800 / 2 - sb.Length() + 1, 'e'));
    EXPECT_EQ(sb.Capacity(), 16000);
    EXPECT_EQ(sb.EnsureCapacity(100), 16000);
    EXPECT_EQ(sb.EnsureCapacity(16001), 20000);
    EXPECT_EQ(sb.ToString().substr(4094, 4), "aabc");
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

TEST(cStringBuilderTest, PropiedadesDeTamano) {
    cStringBuilder sb;
    sb.SizingMethod(2);
    EXPECT_EQ(sb.SizingMethod(), 1);
    sb.SizingPercent(0);
    sb.SizingPercent(101);
    EXPECT_EQ(sb.SizingPercent(), 25);
    sb.BufferBump(1001); // ignored in percent mode
    EXPECT_EQ(sb.BufferBump(), 2048);
    sb.SizingMethod(0);
    sb.BufferBump(1001);
    EXPECT_EQ(sb.BufferBump(), 1002);
    sb.BufferBump(0);
    EXPECT_EQ(sb.BufferBump(), 1002);
    sb.BufferBump(2048);

    sb.Append(std::string(3000, 'x') + "yz");
    sb.Capacity(0);
    EXPECT_EQ(sb.Capacity(), 8192);
    sb.Capacity(1);
    EXPECT_EQ(sb.Capacity(), 2048);
    EXPECT_EQ(sb.Length(), 1024);
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
    EXPECT_EQ(sb.Chars(1023), "x");
    EXPECT_EQ(sb.Chars(1024), std::string(1, '\0')); // never written: zero

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
    sb.Append("Año");
    EXPECT_TRUE(sb.Escribir(f, true));
    EXPECT_TRUE(sb.Escribir(f, true)); // kept, appended again
    EXPECT_EQ(prueba::LeerArchivo(f), "A\xF1oA\xF1o");
    EXPECT_TRUE(sb.Escribir(f, true, false, 5)); // 6 bytes > 5: restarted
    EXPECT_EQ(prueba::LeerArchivo(f), "A\xF1o");
    EXPECT_TRUE(sb.Escribir(f, false));
    EXPECT_EQ(prueba::LeerArchivo(f), "A\xF1o");
    EXPECT_FALSE(sb.Escribir("", false, true));
    EXPECT_EQ(mensajes.Cantidad(), 0);

    platform::ArchivoNativo otro;
    ASSERT_TRUE(otro.Abrir(f, platform::ArchivoNativo::Modo::LeerEscribir));
    EXPECT_FALSE(sb.Escribir(f, false));
    EXPECT_EQ(mensajes.Cantidad(), 0);
    EXPECT_FALSE(sb.Escribir(f, false, true));
    ASSERT_EQ(mensajes.Cantidad(), 1);
    EXPECT_EQ(mensajes.Ultimo().texto.rfind("No se pudo guardar archivo: \r\n\r\n" + f + "\r\n\r\n", 0), 0u)
        << mensajes.Ultimo().texto;
    EXPECT_GT(mensajes.Ultimo().texto.size(), ("No se pudo guardar archivo: \r\n\r\n" + f + "\r\n\r\n").size());
    EXPECT_EQ(mensajes.Ultimo().estilo, 48);
    EXPECT_EQ(mensajes.Ultimo().titulo, "Error");
}
