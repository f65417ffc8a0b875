#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "xml/xml.h"

namespace {

char lt[] = "lt;", ltValue[] = "&#60;", amp[] = "amp;", ampValue[] = "&#38;";
char e[] = "e;", eValue[] = "&f;!", f[] = "f;", fValue[] = "F";
char l[] = "l;", lValue[] = "&l", p[] = "p;", pValue[] = "P";
char *entities[] = {lt, ltValue, amp, ampValue, e, eValue, f, fValue, l, lValue, nullptr};
char *parameters[] = {p, pValue, nullptr};

std::string decoded(const char *input, char mode, char **table)
{
    std::string text(input);
    char *result = xmlDecode(text.data(), table, mode);
    std::string out(result);
    if (result != text.data())
        free(result);
    return out;
}

TEST(XmlDecode, Modes)
{
    const struct {
        const char *input;
        char mode;
        const char *expected;
    } cases[] = {
        {"&lt;&amp;", '&', "<&"},
        {"&#65;&#x41;", '&', "AA"},
        {"&#233;", '&', "\xC3\xA9"},
        {"&#x800;&#x10FFFF;", '&', "\xE0\xA0\x80\xF4\x8F\xBF\xBF"},
        {"&#-191;", '&', "A"},
        {"&#X41;&nosuch;&#0;&#65&#;", '&', "&#X41;&nosuch;&#0;&#65&#;"},
        {"&e;", '&', "F!"},   // a replacement is scanned again
        {"&l;t;", '&', "<"},  // including what follows it
        {"a\r\nb\rc", '&', "a\nb\nc"},
        {"a\r\nb\rc", 'c', "a\nb\nc"},
        {"&lt;&#65;", 'c', "&lt;&#65;"},
        {"a\tb\nc d", '&', "a\tb\nc d"},
        {"a\tb\nc  d", ' ', "a b c  d"},
        {"  a \t b\n ", '*', "a b"},
        {"&#32;a&#32;", '*', "a"},
        {"%p;&p;&#65;&lt;", '%', "P&p;A&lt;"},
    };
    for (const auto &c : cases) {
        char **table = c.mode == '%' ? parameters : entities;
        EXPECT_EQ(decoded(c.input, c.mode, table), c.expected) << "input: " << c.input << " mode " << c.mode;
    }
}

TEST(XmlDecode, TableWithoutPredefinedEntities)
{
    char *shortTable[] = {e, fValue, nullptr};
    EXPECT_EQ(decoded("&e;&lt;&#65;", '&', shortTable), "F&lt;A");
    EXPECT_EQ(decoded("&lt;", '&', nullptr), "&lt;");
}

// Each "&e;" grows to "&f;!" before it shrinks: the text moves to an allocation.
TEST(XmlDecode, ManyGrowingReplacements)
{
    std::string many, expected;
    for (int i = 0; i < 10000; ++i)
        many += "&e;", expected += "F!";
    EXPECT_EQ(decoded(many.c_str(), '&', entities), expected);
}

}  // namespace
