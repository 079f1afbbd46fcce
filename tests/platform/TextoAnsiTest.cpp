#include "platform/TextoAnsi.h"

#include <gtest/gtest.h>

using namespace olvado;

TEST(TextoAnsiTest, CodigoPaginaAnsi) {
    EXPECT_EQ(AAnsi("detectó"), "detect\xF3");
    EXPECT_EQ(AAnsi("€ñ"), "\x80\xF1");
    // A character the code page lacks becomes "?".
    EXPECT_EQ(AAnsi("a一b"), "a?b");
    EXPECT_EQ(AAnsi("\xF0\x9F\x98\x80"), "??"); // one per UTF-16 code unit
    EXPECT_EQ(DesdeAnsi("\xE1\xE9\x80"), "áé€");
    // Every byte decodes and encodes back to itself.
    std::string todos;
    for (int b = 0; b < 256; ++b)
        todos.push_back(static_cast<char>(b));
    EXPECT_EQ(AAnsi(DesdeAnsi(todos)), todos);
}
