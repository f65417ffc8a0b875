#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "unit_support.h"

namespace {

using Names = std::vector<std::string>;

Names names(XmlNode *first, XmlNode *XmlNode::*link)
{
    Names out;
    for (XmlNode *n = first; n; n = n->*link)
        out.push_back(n->name);
    return out;
}

TEST(XmlEdit, NewDocumentWithChildren)
{
    XmlNode *root = xmlNew("cfg");
    XmlNode *b = xmlAddChild(root, "b", 0);
    xmlAddChild(root, "a", 0);
    xmlSetText(b, "t");
    xmlSetAttr(root, "k", "v");
    EXPECT_EQ(ParsedXml::textOf(root), "<cfg k=\"v\"><b>t</b><a></a></cfg>");
    EXPECT_STREQ(xmlError(root), "");
    EXPECT_EQ(xmlAddChild(nullptr, "x", 0), nullptr);
    xmlFree(root);
}

TEST(XmlEdit, InsertionKeepsListsOrderedByOffset)
{
    ParsedXml doc("<r>0123<a/>45<b/>67<a/>89</r>");
    XmlNode *c = xmlAddChild(doc.root, "c", 5);
    XmlNode *a = xmlAddChild(doc.root, "a", 5);
    XmlNode *late = xmlAddChild(doc.root, "d", 4);  // equal offsets keep insertion order
    XmlNode *oldB = xmlChild(doc.root, "b");
    XmlNode *b = xmlAddChild(doc.root, "b", 0);  // first of its name: takes the chain head
    EXPECT_EQ(names(doc.root->child, &XmlNode::ordered), (Names{"b", "a", "d", "c", "a", "b", "a"}));
    EXPECT_EQ(names(doc.root->child, &XmlNode::sibling), (Names{"b", "a", "d", "c"}));
    EXPECT_EQ(xmlIndex(xmlChild(doc.root, "a"), 1), a);
    EXPECT_EQ(xmlChild(doc.root, "c"), c);
    EXPECT_EQ(xmlChild(doc.root, "b"), b);
    EXPECT_EQ(b->next, oldB);
    EXPECT_EQ(late->off, 4u);
    EXPECT_EQ(doc.written(), "<r><b></b>0123<a></a><d></d>4<c></c><a></a>5<b></b>67<a></a>89</r>");
}

TEST(XmlEdit, CutRelinksTheThreeLists)
{
    const std::tuple<const char *, int, Names, Names> cases[] = {
        // name, index, ordered, sibling
        {"a", 0, {"b", "a", "c"}, {"b", "a", "c"}},  // first child whose name comes back later
        {"b", 0, {"a", "a", "c"}, {"a", "c"}},
        {"a", 1, {"a", "b", "c"}, {"a", "b", "c"}},
        {"c", 0, {"a", "b", "a"}, {"a", "b"}},
    };
    for (const auto &[name, index, ordered, sibling] : cases) {
        ParsedXml doc("<r><a/><b/><a/><c/></r>");
        XmlNode *cut = xmlCut(xmlIndex(xmlChild(doc.root, name), index));
        EXPECT_EQ(names(doc.root->child, &XmlNode::ordered), ordered) << name << index;
        EXPECT_EQ(names(doc.root->child, &XmlNode::sibling), sibling) << name << index;
        EXPECT_EQ(cut->ordered, nullptr);
        EXPECT_EQ(cut->next, nullptr);
        EXPECT_EQ(cut->parent, doc.root);
        for (XmlNode *first = doc.root->child; first; first = first->sibling)
            EXPECT_EQ(xmlChild(doc.root, first->name), first);
        xmlFree(cut);
    }
    EXPECT_EQ(xmlCut(nullptr), nullptr);
}

TEST(XmlEdit, CutSubtreeMovesElsewhere)
{
    ParsedXml doc("<r><a><x>1</x></a><b/></r>");
    XmlNode *x = xmlCut(xmlGet(doc.root, "a", 0, "x", 0, nullptr));
    xmlInsert(x, xmlChild(doc.root, "b"), 0);
    EXPECT_EQ(doc.written(), "<r><a></a><b><x>1</x></b></r>");
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

TEST(XmlEdit, DuplicatedStringsAreOwnedByTheNode)
{
    XmlNode *root = xmlNew("a");
    xmlSetAttr(xmlSetFlag(root, XML_DUP), strdup("k"), strdup("v1"));
    EXPECT_EQ(static_cast<unsigned char>(root->attr[3][0]), ' ' | XML_ATTR_NAME_OWNED | XML_ATTR_VALUE_OWNED);
    EXPECT_FALSE(root->flags & XML_DUP);
    xmlSetAttr(xmlSetFlag(root, XML_DUP), strdup("k"), strdup("v2"));  // old value and new name freed
    xmlSetAttr(root, "k", "borrowed");                                 // owned value freed
    EXPECT_EQ(static_cast<unsigned char>(root->attr[3][0]), ' ' | XML_ATTR_NAME_OWNED);
    xmlSetAttr(xmlSetFlag(root, XML_DUP), strdup("n"), strdup("w"));
    xmlSetText(root, strdup("text"));
    xmlSetFlag(root, XML_TEXT_OWNED);
    EXPECT_EQ(ParsedXml::textOf(root), "<a k=\"borrowed\" n=\"w\">text</a>");
    xmlSetText(root, "plain");
    EXPECT_FALSE(root->flags & XML_TEXT_OWNED);
    xmlSetAttr(root, "k", nullptr);
    xmlFree(root);
}

// A subtree described through its own fields only: a node cut from its document may
// outlive it, and then no link upward may be followed.
std::string subtree(const XmlNode *node)
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

}  // namespace
