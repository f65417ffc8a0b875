#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "xml/xml.h"

static char lt[] = "lt;", ltValue[] = "&#60;", amp[] = "amp;", ampValue[] = "&#38;";
static char e[] = "e;", eValue[] = "&f;!", f[] = "f;", fValue[] = "F";
static char l[] = "l;", lValue[] = "&l", p[] = "p;", pValue[] = "P";
static char *entities[] = {lt, ltValue, amp, ampValue, e, eValue, f, fValue, l, lValue, nullptr};
static char *parameters[] = {p, pValue, nullptr};
static char *withoutPredefined[] = {e, fValue, nullptr};

static std::string decoded(const std::string &input, char mode, char **table)
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
    // Each "&e;" grows to "&f;!" before it shrinks: the text moves to an allocation.
    std::string many, expanded;
    for (int i = 0; i < 10000; ++i)
        many += "&e;", expanded += "F!";
    const std::tuple<std::string, char, char **, std::string> cases[] = {
        {"&lt;&amp;", '&', entities, "<&"},
        {"&#65;&#x41;", '&', entities, "AA"},
        {"&#233;", '&', entities, "\xC3\xA9"},
        {"&#x800;&#x10FFFF;", '&', entities, "\xE0\xA0\x80\xF4\x8F\xBF\xBF"},
        {"&#-191;", '&', entities, "A"},
        {"&#X41;&nosuch;&#0;&#65&#;", '&', entities, "&#X41;&nosuch;&#0;&#65&#;"},
        {"&e;", '&', entities, "F!"},   // a replacement is scanned again
        {"&l;t;", '&', entities, "<"},  // including what follows it
        {many, '&', entities, expanded},
        {"a\r\nb\rc", '&', entities, "a\nb\nc"},
        {"a\r\nb\rc", 'c', entities, "a\nb\nc"},
        {"&lt;&#65;", 'c', entities, "&lt;&#65;"},
        {"a\tb\nc d", '&', entities, "a\tb\nc d"},
        {"a\tb\nc  d", ' ', entities, "a b c  d"},
        {"  a \t b\n ", '*', entities, "a b"},
        {"&#32;a&#32;", '*', entities, "a"},
        {"%p;&p;&#65;&lt;", '%', parameters, "P&p;A&lt;"},
        {"&e;&lt;&#65;", '&', withoutPredefined, "F&lt;A"},
        {"&lt;", '&', nullptr, "&lt;"},
    };
    for (const auto &[input, mode, table, expected] : cases)
        EXPECT_EQ(decoded(input, mode, table), expected) << "input: " << input.substr(0, 50) << " mode " << mode;
}
