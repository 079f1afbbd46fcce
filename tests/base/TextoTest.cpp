#include "base/Texto.h"

#include <gtest/gtest.h>

using namespace olvado;

TEST(TextoTest, CuentaUnidadesUtf16) {
    EXPECT_EQ(Len(""), 0);
    EXPECT_EQ(Len("año"), 3);
    EXPECT_EQ(Len("€"), 1);
    EXPECT_EQ(Len("a😀b"), 4); // U+1F600 is a surrogate pair
    EXPECT_EQ(Left("Contraseña", 3), "Con");
    EXPECT_EQ(Left("ñañ", 2), "ña");
    EXPECT_EQ(Left("ab", 5), "ab");
    EXPECT_EQ(Left("ab", -1), "");
    EXPECT_EQ(Right("canción", 3), "ión");
    EXPECT_EQ(Mid("canción", 5, 2), "ió");
    EXPECT_EQ(Mid("canción", 5), "ión");
    EXPECT_EQ(Mid("abc", 4), "");
    EXPECT_EQ(Mid("abc", 0), "");
}

TEST(TextoTest, BuscaYRecorta) {
    EXPECT_EQ(InStr("C:\\a\\b", "\\"), 3);
    EXPECT_EQ(InStr("C:\\a\\b", "\\", 4), 5);
    EXPECT_EQ(InStr("ñx", "x"), 2);
    EXPECT_EQ(InStr("abc", "z"), 0);
    EXPECT_EQ(InStr("abc", ""), 1);
    EXPECT_EQ(InStrRev("C:\\a\\b", "\\"), 5);
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(UCase("añoÿ"), "AÑOŸ");
    EXPECT_EQ(LCase("ÁÉÍ"), "áéí");
    EXPECT_EQ(UCase("@az[`{"), "@AZ[`{"); // the ASCII letters only, at both ends
    EXPECT_EQ(LCase("@AZ[`{"), "@az[`{");
    EXPECT_EQ(Replace("a--b--", "--", "+"), "a+b+");
}

TEST(TextoTest, EscaparControles) {
    EXPECT_EQ(EscaparControles("C:\\Datos\\\x1b[2J\xC2\x9B"
                               "1m\r\nfin\x7F"),
              "C:\\Datos\\\\x1B[2J\\xC2\\x9B1m\\x0D\\x0Afin\\x7F");
    EXPECT_EQ(EscaparControles("ñ € \xC2\xA0 \xC2"), "ñ € \xC2\xA0 \xC2"); // not controls; a cut one stays
}

TEST(TextoTest, Utf16) {
    std::string s = "Olvado ñ € \xF0\x9F\x98\x80";
    EXPECT_EQ(DesdeUtf16(AUtf16(s)), s);
    // Malformed UTF-8 becomes U+FFFD instead of being dropped.
    EXPECT_EQ(AUtf16(std::string("a\xFF") + "b"), u"a\uFFFDb");
    EXPECT_EQ(AUtf16("\xE2\x82"), u"\uFFFD\uFFFD");
}
