#include <cstring>
#include <tuple>

#include "unit_support.h"

// Insertion keeps the lists ordered by offset; a cut relinks them.
TEST(XmlEdit, InsertionAndCutKeepTheThreeLists)
{
    ParsedXml doc("<r>0123<a/>45<b/>67<a/>89</r>");
    // Equal offsets keep insertion order; the first of a name takes the chain head.
    for (const auto &[name, offset] : {std::pair{"c", 5}, {"a", 5}, {"d", 4}, {"b", 0}})
        xmlAddChild(doc.root, name, offset);
    EXPECT_EQ(childLists(doc.root), "b0,5 a1,4,6 d2 c3");
    EXPECT_EQ(doc.written(), "<r><b></b>0123<a></a><d></d>4<c></c><a></a>5<b></b>67<a></a>89</r>");

    const std::tuple<const char *, int, const char *> cases[] = {
        // name, index, lists after the cut
        {"a", 0, "b0 a1 c2"},  // first child whose name comes back later
        {"b", 0, "a0,1 c2"},
        {"a", 1, "a0 b1 c2"},
        {"c", 0, "a0,2 b1"},
    };
    for (const auto &[name, index, lists] : cases) {
        ParsedXml cutFrom("<r><a/><b/><a/><c/></r>");
        XmlNode *cut = xmlCut(xmlIndex(xmlChild(cutFrom.root, name), index));
        EXPECT_EQ(childLists(cutFrom.root), lists) << name << index;
        EXPECT_TRUE(cut->ordered == nullptr && cut->next == nullptr && cut->parent == cutFrom.root);
        xmlFree(cut);
    }
    EXPECT_EQ(xmlCut(nullptr), nullptr);
}

TEST(XmlEdit, SetAttribute)
{
    // The root's list and a child's list (allocated with the child's record) alike.
    for (const char *path : {"", "a"}) {
        ParsedXml doc("<a x='1' y='&lt;'><a x='1' y='&lt;'/></a>");
        XmlNode *a = *path ? xmlChild(doc.root, path) : doc.root;
        xmlSetAttr(a, "x", "one");
        xmlSetAttr(a, "z", "3");
        xmlSetAttr(a, "missing", nullptr);
        auto startTag = [a] {
            std::string text = ParsedXml::textOf(a);
            return text.substr(0, text.find('>') + 1);
        };
        EXPECT_EQ(startTag(), "<a x=\"one\" y=\"&lt;\" z=\"3\">");
        xmlSetAttr(a, "y", nullptr);
        EXPECT_EQ(startTag(), "<a x=\"one\" z=\"3\">");
        xmlSetAttr(a, "x", nullptr);
        xmlSetAttr(a, "z", nullptr);
        EXPECT_EQ(a->attr[0], nullptr);
        EXPECT_STREQ(a->attr[1], "");  // the marks string stays
    }
    EXPECT_EQ(xmlSetAttr(nullptr, "x", "1"), nullptr);
}

// A new document: its children and texts, and the strings it takes over.
TEST(XmlEdit, NewDocumentOwnsTheDuplicatedStrings)
{
    XmlNode *root = xmlNew("a");
    EXPECT_STREQ(xmlError(root), "");
    xmlSetText(xmlAddChild(root, "c", 0), "t");
    EXPECT_EQ(xmlAddChild(nullptr, "x", 0), nullptr);
    xmlSetAttr(xmlSetFlag(root, XML_DUP), strdup("k"), strdup("v1"));
    EXPECT_EQ(static_cast<unsigned char>(root->attr[3][0]), ' ' | XML_ATTR_NAME_OWNED | XML_ATTR_VALUE_OWNED);
    EXPECT_FALSE(root->flags & XML_DUP);
    xmlSetAttr(xmlSetFlag(root, XML_DUP), strdup("k"), strdup("v2"));  // old value and new name freed
    xmlSetAttr(root, "k", "borrowed");                                 // owned value freed
    EXPECT_EQ(static_cast<unsigned char>(root->attr[3][0]), ' ' | XML_ATTR_NAME_OWNED);
    xmlSetAttr(xmlSetFlag(root, XML_DUP), strdup("n"), strdup("w"));
    xmlSetText(root, strdup("text"));
    xmlSetFlag(root, XML_TEXT_OWNED);
    EXPECT_EQ(ParsedXml::textOf(root), "<a k=\"borrowed\" n=\"w\"><c>t</c>text</a>");
    xmlSetText(root, "plain");
    EXPECT_FALSE(root->flags & XML_TEXT_OWNED);
    xmlSetAttr(root, "k", nullptr);
    xmlFree(root);
}

// A subtree described through its own fields only: a node cut from its document may
// outlive it, and then no link upward may be followed.
static std::string subtree(const XmlNode *node)
{
    std::string out = std::string(node->name) + "(" + node->txt;
    for (char **attr = node->attr; *attr; attr += 2)
        out += std::string(" ") + attr[0] + "=" + attr[1];
    for (const XmlNode *child = node->child; child; child = child->ordered)
        out += " " + subtree(child);
    return out + ")";
}

// Two subtrees cut from a parsed document, one from within the other (cut before or
// after it), that document and a second one are freed in every order; a third subtree
// moves to the second document and goes with it. Each cut subtree keeps its texts and
// attributes until it is freed itself. Run under the sanitizers and valgrind, this finds
// any node, text or block freed too early, twice or never.
TEST(XmlEdit, CutNodesAndDocumentsAreFreedInAnyOrder)
{
    for (bool innerFirst : {true, false}) {
        int order[] = {0, 1, 2, 3};  // parsed document, made document, outer and inner subtree
        do {
            std::string buffer = "<r>x<a k='&lt;v'>t&gt;<b>1</b>u<b>2</b></a>y<c>&amp;z</c>w</r>";
            XmlNode *parsed = xmlParseString(buffer.data(), buffer.size());
            XmlNode *made = xmlNew("m");
            xmlAddChild(parsed, "added", 1);
            XmlNode *a = xmlChild(parsed, "a");
            xmlSetAttr(xmlSetFlag(a, XML_DUP), strdup("k"), strdup("w"));
            XmlNode *inner = innerFirst ? xmlCut(xmlIndex(xmlChild(a, "b"), 1)) : nullptr;
            XmlNode *outer = xmlCut(a);
            if (!innerFirst)
                inner = xmlCut(xmlIndex(xmlChild(a, "b"), 1));
            xmlInsert(xmlCut(xmlChild(parsed, "c")), made, 0);
            xmlSetText(parsed, "root");
            EXPECT_EQ(subtree(outer), "a(t>u k=w b(1))");
            EXPECT_EQ(subtree(made), "m( c(&z))");
            XmlNode *const frees[] = {parsed, made, outer, inner};
            const char *const cutTexts[] = {"a(t>u k=w b(1))", "b(2)"};
            for (int i : order) {
                // A cut subtree still holds its texts right before it is freed.
                EXPECT_EQ(i >= 2 ? subtree(frees[i]) : "", i >= 2 ? cutTexts[i - 2] : "");
                xmlFree(frees[i]);
            }
        } while (std::next_permutation(std::begin(order), std::end(order)));
    }
}
