#include <cstdio>
#include <tuple>
#include <utility>

#include "unit_support.h"

// A UTF-16 text with its byte-order mark.
static std::string utf16(const std::u16string &text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(XmlParse, ErrorTexts)
{
    const std::pair<std::string, std::string> cases[] = {
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
        {"<" + std::string(300, 'n') + ">", "[error near line 1]: unclosed tag <" + std::string(92, 'n')},
        {"\xFF\xFE", "[error near line 1]: root tag missing"},
        {std::string("\xFE\xFF\x00", 3), "[error near line 1]: root tag missing"},
    };
    for (const auto &[input, error] : cases)
        EXPECT_EQ(ParsedXml(input).error(), error) << "input: " << input;
}

// What a document holds, as it is written back.
TEST(XmlParse, DocumentsAsWritten)
{
    std::string opens, closes;
    for (int i = 0; i < 100000; ++i)
        opens += "<d>", closes += "</d>";
    std::vector<std::pair<std::string, std::string>> cases = {
        // Text and comments outside the root are dropped; instructions are kept by target, before or after the root.
        {"<a></a  >", "<a></a>"},
        {"text<a></a>text<!-- c -->", "<a></a>"},
        {"<?first 1?>before<a>in</a>after<!-- c --><?last 2?><?first 3?>",
         "<?first 1?>\n<a>in</a>\n<?first 3?>\n<?last 2?>"},
        {"<?xml version='1.0' standalone='yes'?>\n"
         "<!DOCTYPE a [\n"
         "  <!ENTITY % p 'pv'>\n"
         "  <!ENTITY e 'e(%p;)'>\n"
         "  <!ENTITY ext SYSTEM 'file.xml'>\n"
         "  <!ATTLIST a t CDATA ' v ' n NMTOKEN '  x   y ' i ID #IMPLIED r CDATA #REQUIRED>\n"
         "  <!ATTLIST b f CDATA #FIXED 'fixed'>\n"
         "  <!ELEMENT a ANY>\n"
         "  <?inside text?>\n"
         "]>\n"
         "<a n=' p  q ' i=' 1  2 '>&e;&ext;<b/></a>",
         "<?inside text?>\n<a n=\"p q\" i=\"1 2\" t=\" v \">e(pv)&amp;ext;<b f=\"fixed\"></b></a>"},
        // A parameter reference outside a declaration ends the subset unless standalone.
        {"<!DOCTYPE a [%p; <!ENTITY e 'v'>]><a>&e;</a>", "<a>&amp;e;</a>"},
        {"<?xml standalone=\"yes\"?><!DOCTYPE a [%p; <!ENTITY e 'v'>]><a>&e;</a>", "<a>v</a>"},
        {utf16(u"<a b='\u00e9'>\u20ac\U0001F600</a>", false), "<a b=\"\xC3\xA9\">\xE2\x82\xAC\xF0\x9F\x98\x80</a>"},
        {utf16(u"<a b='\u00e9'>\u20ac\U0001F600</a>", true), "<a b=\"\xC3\xA9\">\xE2\x82\xAC\xF0\x9F\x98\x80</a>"},
        // Deep documents use no stack.
        {opens + closes, opens + closes},
    };
    // Text pieces of any length between children are joined, the children kept in their places.
    for (size_t length : {1, 7, 15, 16, 17, 40}) {
        std::string input = "<r>", written = "<r>";
        for (int i = 0; i < 20; ++i) {
            input += std::string(length, static_cast<char>('a' + i)) + "<c/>";
            written += std::string(length, static_cast<char>('a' + i)) + "<c></c>";
        }
        cases.emplace_back(input + "</r>", written + "</r>");
    }
    for (const auto &[input, written] : cases) {
        ParsedXml doc(input);
        EXPECT_EQ(doc.error(), "") << input.substr(0, 100);
        EXPECT_EQ(doc.written(), written) << input.substr(0, 100);
    }
}

// The root's text and attribute list as parsed, each string followed by '*'
// when the node owns it: a decoded text longer than its place in the buffer
// moves to an allocation.
TEST(XmlParse, TextsAndAttributesOwned)
{
    const std::pair<const char *, const char *> cases[] = {
        {"<a>x&amp;y&quot;&apos;</a>", "x&y\"'"},
        {"<a>x&lt;y</a>", "x<y*"},  // "&#60;" is longer than "&lt;"
        {"<a>&#65;</a>", "A"},
        {"<a>&amp;lt;</a>", "&lt;"},  // a replacement is not decoded again
        {"<a>&lt;&#65;</a>", "<A*"},
        {"<a>&gt;\r\n&amp;</a>", ">\n&*"},
        {"<a>a&b&amp;</a>", "a&b&"},
        {"<a>&amp</a>", "&amp"},
        {"<a>x&lt</a>", "x&lt"},
        {"<a>x<b/>y</a>", "xy*"},  // pieces joined
        {"<a b c='&lt;' d=\"&#65;\" b='2' e='x\ty\nz'>x\ty</a>", "x\ty b= c=<* d=A b=2 e=x y z"},
    };
    for (const auto &[input, expected] : cases) {
        ParsedXml doc(input);
        std::string parsed = std::string(doc.root->txt) + (doc.root->flags & XML_TEXT_OWNED ? "*" : "");
        char **attr = doc.root->attr;
        size_t pairs = 0;
        while (attr[2 * pairs])
            ++pairs;
        for (size_t i = 0; i < pairs; ++i)
            parsed += std::string(" ") + attr[2 * i] + "=" + attr[2 * i + 1] +
                      (attr[2 * pairs + 1][i] & XML_ATTR_VALUE_OWNED ? "*" : "");
        EXPECT_EQ(parsed, expected) << input;
    }
}

// Positions in the children's document order: a b a c b a; -1 for none.
TEST(XmlParse, Lookups)
{
    ParsedXml doc("<?p 1?><r><a/><b/><a/><c/><b/><a/></r><?p 2?>");
    std::vector<XmlNode *> order = {nullptr};
    for (XmlNode *n = doc.root->child; n; n = n->ordered)
        order.push_back(n);
    const std::tuple<const char *, int, int, int> cases[] = {
        // name, n, xmlIndex of the name's first child, xmlGet of name and n
        {"c", 0, 3, 3}, {"a", 2, 5, 5}, {"a", 3, -1, -1}, {"a", -1, -1, 0}, {"b", 1, 4, 4}, {"x", 0, -1, -1},
    };
    for (const auto &[name, n, indexed, got] : cases) {
        EXPECT_EQ(xmlIndex(xmlChild(doc.root, name), n), order[indexed + 1]) << name << n;
        EXPECT_EQ(xmlGet(doc.root, name, n, nullptr), order[got + 1]) << name << n;
    }
    EXPECT_EQ(xmlChild(nullptr, "a"), nullptr);
    EXPECT_STREQ(xmlProcInstr(doc.root, "p")[1], "2");
    EXPECT_EQ(xmlProcInstr(doc.root, "none")[0], nullptr);
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
        std::string text = "<r>", lists;
        for (char name : names)
            text += std::string("<") + name + "/>";
        for (size_t at = 0; at < names.size(); ++at) {
            if (names.find(names[at]) != at)
                continue;
            lists += std::string(lists.empty() ? "" : " ") + names[at];
            for (size_t same = at; same != std::string::npos; same = names.find(names[at], same + 1))
                lists += (same == at ? "" : ",") + std::to_string(same);
        }
        EXPECT_EQ(childLists(ParsedXml(text + "</r>").root), lists) << names;
    }
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

// The stores read through xmlParseFile; a stream is read in pieces of 1 KiB.
TEST(XmlParse, Stream)
{
    std::string text = "<a>" + std::string(3000, 'x') + "</a>";
    FILE *stream = fmemopen(text.data(), text.size(), "r");
    XmlNode *root = xmlParseStream(stream);
    fclose(stream);
    EXPECT_EQ(ParsedXml::textOf(root), text);
    xmlFree(root);
    EXPECT_EQ(xmlParseFd(-1), nullptr);
}
