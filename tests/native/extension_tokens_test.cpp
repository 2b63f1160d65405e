// Splitting extension strings into list lines, and whole-name search.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/extension_tokens.h"

namespace {

std::vector<std::string> Lines(const char* text)
{
    std::vector<std::string> lines;
    ForEachExtensionToken(
        text,
        [](void* context, const char* line) {
            static_cast<std::vector<std::string>*>(context)->push_back(line);
        },
        &lines);
    return lines;
}

using Strings = std::vector<std::string>;

TEST(ExtensionTokens, SplitsAtEverySpaceButAddsNoLineForATrailingOne)
{
    EXPECT_EQ(Lines("GL_ARB_a GL_EXT_b"), (Strings{"GL_ARB_a", "GL_EXT_b"}));
    EXPECT_EQ(Lines("GL_ARB_a GL_EXT_b "), (Strings{"GL_ARB_a", "GL_EXT_b"}));
    EXPECT_EQ(Lines("GL_ARB_a"), (Strings{"GL_ARB_a"}));
}

TEST(ExtensionTokens, LeadingAndDoubledSpacesGiveEmptyLines)
{
    EXPECT_EQ(Lines(" a"), (Strings{"", "a"}));
    EXPECT_EQ(Lines("a  b"), (Strings{"a", "", "b"}));
    EXPECT_EQ(Lines(" "), (Strings{""}));
    EXPECT_EQ(Lines("  "), (Strings{"", ""}));
}

TEST(ExtensionTokens, OnlyTheSpaceByteSeparates)
{
    EXPECT_EQ(Lines("a\tb"), (Strings{"a\tb"}));
    EXPECT_EQ(Lines("a\r\nb c"), (Strings{"a\r\nb", "c"}));
}

TEST(ExtensionTokens, NullAndEmptyTextsGiveNoLines)
{
    EXPECT_TRUE(Lines(nullptr).empty());
    EXPECT_TRUE(Lines("").empty());
}

TEST(ExtensionTokens, TokensLongerThanTheLineBufferArriveWhole)
{
    const std::string edge(kExtensionLineCapacity - 1, 'e');  // the longest that fits the buffer
    const std::string full(kExtensionLineCapacity, 'f');      // one more, with no room for the NUL
    const std::string huge(5000, 'h');
    EXPECT_EQ(Lines((edge + " " + full + " " + huge + " x").c_str()), (Strings{edge, full, huge, "x"}));
    // The last token comes straight from the text, whatever its length.
    EXPECT_EQ(Lines(("x " + huge).c_str()), (Strings{"x", huge}));
}

TEST(WholeToken, MatchesOnlyWholeSpaceDelimitedNames)
{
    EXPECT_TRUE(ContainsWholeToken("WGL_ARB_multisample", "WGL_ARB_multisample"));
    EXPECT_TRUE(ContainsWholeToken("WGL_ARB_multisample WGL_x", "WGL_ARB_multisample"));
    EXPECT_TRUE(ContainsWholeToken("WGL_x WGL_ARB_multisample", "WGL_ARB_multisample"));
    EXPECT_TRUE(ContainsWholeToken("WGL_x WGL_ARB_multisample ", "WGL_ARB_multisample"));

    EXPECT_FALSE(ContainsWholeToken("WGL_ARB_multisample_ext", "WGL_ARB_multisample"));
    EXPECT_FALSE(ContainsWholeToken("XWGL_ARB_multisample", "WGL_ARB_multisample"));
    EXPECT_FALSE(ContainsWholeToken("WGL_ARB_multisamplX", "WGL_ARB_multisample"));
    EXPECT_FALSE(ContainsWholeToken("", "WGL_ARB_multisample"));
}

TEST(WholeToken, KeepsSearchingPastAPrefixOfALongerName)
{
    EXPECT_TRUE(ContainsWholeToken("WGL_ARB_multisample_ext WGL_ARB_multisample", "WGL_ARB_multisample"));
    EXPECT_TRUE(ContainsWholeToken("aa a", "a"));
    EXPECT_FALSE(ContainsWholeToken("ab ba bab", "a"));
}

TEST(WholeToken, TabsAndLineBreaksDoNotDelimit)
{
    EXPECT_FALSE(ContainsWholeToken("x\tWGL_ARB_multisample", "WGL_ARB_multisample"));
    EXPECT_FALSE(ContainsWholeToken("WGL_ARB_multisample\nx", "WGL_ARB_multisample"));
}

TEST(WholeToken, NullHaystackAndEmptyNameNeverMatch)
{
    EXPECT_FALSE(ContainsWholeToken(nullptr, "GL_ARB_a"));
    EXPECT_FALSE(ContainsWholeToken("GL_ARB_a", ""));
    EXPECT_FALSE(ContainsWholeToken("", ""));
}

}  // namespace
