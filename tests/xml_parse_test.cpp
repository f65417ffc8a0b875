#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "unit_support.h"

namespace {

TEST(XmlParse, ErrorTexts)
{
    const char *cases[][2] = {
        // input, error
        {"", "[error near line 1]: root tag missing"},
        {"just text\n", "[error near line 1]: root tag missing"},
        {"<!-- only a comment -->", "[error near line 1]: root tag missing"},
        {"<a>x</b>", "[error near line 1]: unexpected closing tag </b>"},
        {"<ab></a>", "[error near line 1]: unexpected closing tag </a>"},
        {"<a></ab>", "[error near line 1]: unexpected closing tag </ab>"},
        {"<a><b></a>", "[error near line 1]: unexpected closing tag </a>"},
        {"</a>", "[error near line 1]: unexpected closing tag </a>"},
        {"<a>", "[error near line 1]: unclosed tag <a>"},
        {"<a><b>\n</b>\n", "[error near line 2]: unclosed tag <a>"},
        {"<a/><b/>", "[error near line 1]: markup outside of root element"},
        {"<a b=\"x>", "[error near line 1]: missing \""},
        {"<a b='x>", "[error near line 1]: missing '"},
        {"<a/ >", "[error near line 1]: missing >"},
        {"<a b='1' ", "[error near line 1]: missing >"},
        {"<a></a", "[error near line 1]: missing >"},
        {"<1a/>", "[error near line 1]: unexpected <"},
        {"<a>< b/></a>", "[error near line 1]: unexpected <"},
        {"<a>\xC3\xA9<\xC3\xA9/></a>", "[error near line 1]: unexpected <"},
        {"<a><!-- x -- y --></a>", "[error near line 1]: unclosed <!--"},
        {"<a>\n<!-- x </a>", "[error near line 2]: unclosed <!--"},
        {"<a><![CDATA[x</a>", "[error near line 1]: unclosed <![CDATA["},
        {"<!DOCTYPE a [x", "[error near line 1]: unclosed <!DOCTYPE"},
        {"<?pi x", "[error near line 1]: unclosed <?"},
        {"<a>\n<b>\n</c>", "[error near line 3]: unexpected closing tag </c>"},
        {"<!DOCTYPE a [<!ENTITY e '&e;'>]><a/>", "[error near line 1]: circular entity declaration &e;"},
        {"<!DOCTYPE a [<!ENTITY x '&y;'>\n<!ENTITY y 'v&x;'>]><a/>",
         "[error near line 2]: circular entity declaration &y;"},
        {"<!DOCTYPE a [<!ENTITY % p '(%p;)'>]><a/>", "[error near line 1]: circular entity declaration &p;"},
        {"<!DOCTYPE a [<!ATTLIST ]><a/>", "[error near line 1]: unclosed <!ATTLIST"},
        {"<!DOCTYPE a [<!ATTLIST a b]><a/>", "[error near line 1]: malformed <!ATTLIST"},
        {"<!DOCTYPE a [<!ATTLIST a b (x|y 'x'>]><a/>", "[error near line 1]: malformed <!ATTLIST"},
        {"<!DOCTYPE a [<!ATTLIST a b CDATA x>]><a/>", "[error near line 1]: malformed <!ATTLIST"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParsedXml(c[0]).error(), c[1]) << "input: " << c[0];
}

TEST(XmlParse, ErrorTextIsCutTo127Characters)
{
    ParsedXml doc("<" + std::string(300, 'n') + ">");
    EXPECT_EQ(doc.error().size(), 127u);
    EXPECT_EQ(doc.error().rfind("[error near line 1]: unclosed tag <nnn", 0), 0u);
}

TEST(XmlParse, AcceptedDocumentEnds)
{
    for (const char *input : {"<a></a>", "<a></a>\n", "<a/>", "<a x='1'/>", "<a></a><!-- c -->", "<a></a>\n<?p x?>",
                              "<a></a  >", "text<a></a>text"}) {
        ParsedXml doc(input);
        EXPECT_EQ(doc.error(), "") << "input: " << input;
        EXPECT_STREQ(doc.root->name, "a");
    }
}

TEST(XmlParse, TextIsOwnedWhenAReplacementWasLonger)
{
    const std::tuple<const char *, const char *, bool> cases[] = {
        // input, text, owned
        {"<a>x&amp;y&quot;&apos;</a>", "x&y\"'", false},  // replacements of equal or shorter length
        {"<a>x&lt;y</a>", "x<y", true},                   // "&#60;" is longer than "&lt;"
        {"<a>&#65;</a>", "A", false},
        {"<a>&amp;lt;</a>", "&lt;", false},  // a replacement is not decoded again
        // Predefined references together with what else decoding changes.
        {"<a>&lt;&#65;</a>", "<A", true},
        {"<a>&gt;\r\n&amp;</a>", ">\n&", true},
        {"<a>a&b&amp;</a>", "a&b&", false},
        {"<a>&amp</a>", "&amp", false},
        {"<a>x&lt</a>", "x&lt", false},
    };
    for (const auto &[input, text, owned] : cases) {
        ParsedXml doc(input);
        EXPECT_STREQ(doc.root->txt, text) << input;
        EXPECT_EQ(static_cast<bool>(doc.root->flags & XML_TEXT_OWNED), owned) << input;
    }
}

TEST(XmlParse, PiecesOfAnyLengthAreJoined)
{
    for (size_t length : {1, 7, 15, 16, 17, 40}) {
        std::string text = "<r>", joined;
        for (int i = 0; i < 20; ++i) {
            std::string piece(length, static_cast<char>('a' + i));
            text += piece + "<c/>";
            joined += piece;
        }
        ParsedXml doc(text + "</r>");
        EXPECT_EQ(doc.root->txt, joined) << "pieces of " << length;
        EXPECT_TRUE(doc.root->flags & XML_TEXT_OWNED);
        EXPECT_EQ(reinterpret_cast<XmlDocument *>(doc.root)->cur, nullptr);
        size_t off = 0;
        for (XmlNode *c = doc.root->child; c; c = c->ordered) {
            EXPECT_EQ(c->off, off += length);
            EXPECT_STREQ(c->txt, "");
            EXPECT_EQ(c->parent, doc.root);
        }
    }
}

// The three lists (document order, first of each name, same name) are checked below.
TEST(XmlParse, Lookups)
{
    ParsedXml doc("<r><a/><b/><a/><c/><b/><a/></r>");
    std::vector<XmlNode *> order;
    for (XmlNode *n = doc.root->child; n; n = n->ordered)
        order.push_back(n);
    ASSERT_EQ(order.size(), 6u);
    XmlNode *a1 = order[0], *b2 = order[4], *a3 = order[5];
    EXPECT_EQ(xmlChild(doc.root, "c"), order[3]);
    EXPECT_EQ(xmlIndex(xmlChild(doc.root, "a"), 2), a3);
    EXPECT_EQ(xmlIndex(a1, 3), nullptr);
    EXPECT_EQ(xmlIndex(a1, -1), nullptr);
    EXPECT_EQ(xmlGet(doc.root, "b", 1, nullptr), b2);
    EXPECT_EQ(xmlGet(doc.root, "a", -1), a1);
    EXPECT_EQ(xmlGet(doc.root, "x", 0, ""), nullptr);
    EXPECT_EQ(xmlChild(nullptr, "a"), nullptr);
}

TEST(XmlParse, RunsAndAlternationsOfNamesKeepTheirChains)
{
    std::string repeated, mixed;
    for (int i = 0; i < 50; ++i)
        repeated += "aabacccb";
    for (unsigned i = 0, x = 1; i < 300; ++i, x = x * 1103515245 + 12345)
        mixed += static_cast<char>('a' + (x >> 16) % 4);
    for (const std::string &names : {std::string("aab"), std::string("abab"), std::string("abcabcabc"),
                                     std::string("aaabaaab"), std::string("abacabadabacaba"), repeated, mixed}) {
        std::string text = "<r>";
        for (char name : names)
            text += std::string("<") + name + "/>";
        ParsedXml doc(text + "</r>");
        std::string order, firsts, distinct;
        for (XmlNode *n = doc.root->child; n; n = n->ordered)
            order += n->name;
        for (XmlNode *n = doc.root->child; n; n = n->sibling)
            firsts += n->name;
        for (char name : names)
            if (distinct.find(name) == std::string::npos)
                distinct += name;
        EXPECT_EQ(order, names);
        EXPECT_EQ(firsts, distinct);
        for (char name : firsts) {
            std::vector<XmlNode *> chain, expected;
            for (XmlNode *n = xmlChild(doc.root, std::string(1, name).c_str()); n; n = n->next)
                chain.push_back(n);
            for (XmlNode *n = doc.root->child; n; n = n->ordered)
                if (n->name[0] == name)
                    expected.push_back(n);
            EXPECT_EQ(chain, expected) << names << " chain " << name;
            for (size_t i = 1; i < chain.size(); ++i)
                EXPECT_EQ(chain[i]->sibling, nullptr);
        }
    }
}

TEST(XmlParse, TextOutsideRootIsDroppedAndInstructionsAreMarked)
{
    ParsedXml doc("<?first 1?>before<a>in</a>after<!-- c --><?last 2?><?first 3?>");
    EXPECT_EQ(doc.error(), "");
    EXPECT_STREQ(doc.root->txt, "in");
    const char **first = xmlProcInstr(doc.root, "first");
    ASSERT_STREQ(first[0], "1");
    ASSERT_STREQ(first[1], "3");
    EXPECT_EQ(first[2], nullptr);
    EXPECT_STREQ(first[3], "<>");
    EXPECT_STREQ(xmlProcInstr(doc.root, "last")[0], "2");
    EXPECT_EQ(xmlProcInstr(doc.root, "none")[0], nullptr);
}

TEST(XmlParse, AttributesAndOwnershipMarks)
{
    ParsedXml doc("<a b c='&lt;' d=\"&#65;\" b='2' e='x\ty\nz'>x\ty</a>");
    char **attr = doc.root->attr;
    EXPECT_STREQ(xmlAttr(doc.root, "b"), "");
    EXPECT_STREQ(xmlAttr(doc.root, "c"), "<");
    EXPECT_STREQ(xmlAttr(doc.root, "d"), "A");
    EXPECT_STREQ(xmlAttr(doc.root, "e"), "x y z");
    EXPECT_EQ(xmlAttr(doc.root, "f"), nullptr);
    EXPECT_STREQ(attr[6], "b");
    EXPECT_STREQ(attr[7], "2");
    EXPECT_EQ(attr[10], nullptr);
    // A longer replacement ("&#60;" for "&lt;") moved c's value to an allocation.
    EXPECT_STREQ(attr[11], " `   ");
    EXPECT_STREQ(doc.root->txt, "x\ty");
    EXPECT_FALSE(doc.root->flags & XML_TEXT_OWNED);
}

TEST(XmlParse, InternalSubset)
{
    ParsedXml doc("<?xml version='1.0' standalone='yes'?>\n"
                  "<!DOCTYPE a [\n"
                  "  <!ENTITY % p 'pv'>\n"
                  "  <!ENTITY e 'e(%p;)'>\n"
                  "  <!ENTITY ext SYSTEM 'file.xml'>\n"
                  "  <!ATTLIST a t CDATA ' v ' n NMTOKEN '  x   y ' i ID #IMPLIED r CDATA #REQUIRED>\n"
                  "  <!ATTLIST b f CDATA #FIXED 'fixed'>\n"
                  "  <!ELEMENT a ANY>\n"
                  "  <?inside text?>\n"
                  "]>\n"
                  "<a n=' p  q ' i=' 1  2 '>&e;&ext;<b/></a>");
    XmlDocument *d = reinterpret_cast<XmlDocument *>(doc.root);
    EXPECT_EQ(doc.error(), "");
    EXPECT_EQ(d->standalone, 1);
    EXPECT_STREQ(doc.root->txt, "e(pv)&ext;");
    EXPECT_STREQ(xmlAttr(doc.root, "t"), " v ");
    EXPECT_STREQ(xmlAttr(doc.root, "n"), "p q");
    EXPECT_STREQ(xmlAttr(doc.root, "i"), "1 2");
    EXPECT_EQ(xmlAttr(doc.root, "r"), nullptr);
    EXPECT_STREQ(xmlAttr(xmlChild(doc.root, "b"), "f"), "fixed");
    EXPECT_STREQ(xmlProcInstr(doc.root, "inside")[0], "text");
    EXPECT_STREQ(xmlProcInstr(doc.root, "inside")[2], "<");
    // A parameter reference outside a declaration ends the subset unless standalone.
    ParsedXml notStandalone("<!DOCTYPE a [%p; <!ENTITY e 'v'>]><a>&e;</a>");
    EXPECT_EQ(notStandalone.error(), "");
    EXPECT_STREQ(notStandalone.root->txt, "&e;");
    ParsedXml standalone("<?xml standalone=\"yes\"?><!DOCTYPE a [%p; <!ENTITY e 'v'>]><a>&e;</a>");
    EXPECT_STREQ(standalone.root->txt, "v");
}

TEST(XmlParse, NestedEntitiesCannotGrowATextWithoutBound)
{
    std::string subset = "<!ENTITY l0 'ha'>";
    for (int i = 1; i <= 40; ++i)
        subset +=
            "<!ENTITY l" + std::to_string(i) + " '&l" + std::to_string(i - 1) + ";&l" + std::to_string(i - 1) + ";'>";
    ParsedXml doc("<!DOCTYPE a [" + subset + "]><a>&l40;</a>");
    EXPECT_EQ(doc.error(), "");
    size_t length = strlen(doc.root->txt);
    EXPECT_GT(length, 65536u);
    EXPECT_LT(length, 65536u + 2 * doc.buffer.size());
}

TEST(XmlParse, Utf16Input)
{
    const std::u16string text = u"<a b='\u00e9'>\u20ac\U0001F600</a>";
    for (bool bigEndian : {false, true}) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t unit : text) {
            char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        ParsedXml doc(bytes);
        EXPECT_EQ(doc.error(), "");
        EXPECT_STREQ(xmlAttr(doc.root, "b"), "\xC3\xA9");
        EXPECT_STREQ(doc.root->txt, "\xE2\x82\xAC\xF0\x9F\x98\x80");
    }
    for (const std::string &noCharacter : {std::string("\xFF\xFE", 2), std::string("\xFE\xFF\x00", 3)}) {
        ParsedXml doc(noCharacter);
        EXPECT_EQ(doc.error(), "[error near line 1]: root tag missing");
    }
}

TEST(XmlParse, Readers)
{
    TempFolder folder;
    const std::string path = folder.write("a.xml", "<a>" + std::string(3000, 'x') + "</a>\n");
    XmlNode *fromFile = xmlParseFile(path.c_str());
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(reinterpret_cast<XmlDocument *>(fromFile)->len, UINT32_MAX);
    EXPECT_EQ(strlen(fromFile->txt), 3000u);
    xmlFree(fromFile);

    FILE *stream = fopen(path.c_str(), "r");
    XmlNode *fromStream = xmlParseStream(stream);
    fclose(stream);
    ASSERT_NE(fromStream, nullptr);
    EXPECT_STREQ(xmlError(fromStream), "");
    EXPECT_EQ(strlen(fromStream->txt), 3000u);
    xmlFree(fromStream);
    std::filesystem::remove(path);
    EXPECT_EQ(xmlParseFile(path.c_str()), nullptr);
    EXPECT_EQ(xmlParseFd(-1), nullptr);
    EXPECT_STREQ(xmlError(nullptr), "");
}

TEST(XmlParse, DeepAndWideDocumentsUseNoStack)
{
    std::string opens, closes;
    for (int i = 0; i < 100000; ++i)
        opens += "<d>", closes += "</d>";
    ParsedXml doc(opens + closes);
    EXPECT_EQ(doc.error(), "");
    EXPECT_EQ(doc.written(), opens + closes);
}

}  // namespace
