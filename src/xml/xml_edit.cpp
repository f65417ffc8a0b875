// Tree editing: new documents and elements, insertion, text, attributes, detaching.
#include <cstdlib>
#include <cstring>

#include "xml/xml_internal.h"

using namespace xmlimpl;

namespace {

bool sameName(const XmlNode *a, const XmlNode *b)
{
    return a->name == b->name || (a->name && b->name && strcmp(a->name, b->name) == 0);
}

// Gives a list allocated with its node record allocations of its own, which can grow
// and shrink.
void moveAttributesOut(XmlNode *node)
{
    size_t n = 0;
    while (node->attr[n])
        n += 2;
    char **attr = static_cast<char **>(malloc((n + 2) * sizeof(char *)));
    memcpy(attr, node->attr, (n + 1) * sizeof(char *));
    attr[n + 1] = static_cast<char *>(malloc(n / 2 + 1));
    memcpy(attr[n + 1], node->attr[n + 1], n / 2 + 1);
    node->attr = attr;
}

}  // namespace

XmlNode *xmlInsert(XmlNode *node, XmlNode *dest, size_t off)
{
    if (!node || !dest)
        return node;
    node->next = node->sibling = node->ordered = nullptr;
    node->off = static_cast<uint32_t>(off);
    node->parent = dest;
    XmlNode *head = dest->child;
    if (!head) {
        dest->child = node;
        return node;
    }

    // Document order; equal offsets keep the order of insertion.
    if (off < head->off) {
        node->ordered = head;
        dest->child = node;
    } else {
        XmlNode *before = head;
        while (before->ordered && before->ordered->off <= off)
            before = before->ordered;
        node->ordered = before->ordered;
        before->ordered = node;
    }

    // The chain of the node's name.
    XmlNode *first = head, *previous = nullptr;
    while (first && !sameName(first, node)) {
        previous = first;
        first = first->sibling;
    }
    if (first && first->off <= off) {
        XmlNode *before = first;
        while (before->next && before->next->off <= off)
            before = before->next;
        node->next = before->next;
        before->next = node;
        return node;
    }

    // The node becomes the first of its name.
    if (first) {
        node->next = first;
        if (!previous) {  // first was the head, and the node has just become the first child
            node->sibling = first->sibling;
            first->sibling = nullptr;
            return node;
        }
        previous->sibling = first->sibling;
        first->sibling = nullptr;
    }
    if (head->off > off) {
        node->sibling = head;
    } else {
        XmlNode *before = head;
        while (before->sibling && before->sibling->off <= off)
            before = before->sibling;
        node->sibling = before->sibling;
        before->sibling = node;
    }
    return node;
}

XmlNode *xmlAddChild(XmlNode *parent, const char *name, size_t off)
{
    if (!parent)
        return nullptr;
    return xmlInsert(newNode(const_cast<char *>(name), 0), parent, off);
}

XmlNode *xmlSetText(XmlNode *node, const char *text)
{
    if (!node)
        return nullptr;
    freeText(node);
    node->txt = text ? const_cast<char *>(text) : emptyText;
    return node;
}

XmlNode *xmlSetAttr(XmlNode *node, const char *name, const char *value)
{
    if (!node)
        return nullptr;
    if (attributesInRecord(node))
        moveAttributesOut(node);
    bool dup = node->flags & XML_DUP;
    char **attr = node->attr;
    size_t i = 0;
    while (attr[i] && strcmp(attr[i], name) != 0)
        i += 2;
    size_t end = i;  // index of the terminator
    if (!attr[i]) {
        if (!value)
            return node;
        char *marks;
        if (attr == emptyList) {
            attr = static_cast<char **>(malloc(4 * sizeof(char *)));
            marks = static_cast<char *>(calloc(1, 1));
        } else {
            marks = attr[i + 1];
            attr = static_cast<char **>(realloc(attr, (i + 4) * sizeof(char *)));
        }
        marks = static_cast<char *>(realloc(marks, i / 2 + 2));
        marks[i / 2] = static_cast<char>(dup ? ' ' | XML_ATTR_NAME_OWNED : ' ');
        marks[i / 2 + 1] = '\0';
        attr[i] = const_cast<char *>(name);
        attr[i + 1] = const_cast<char *>(value);
        attr[i + 2] = nullptr;
        attr[i + 3] = marks;
        node->attr = attr;
        end = i + 2;
    } else {
        if (dup)
            free(const_cast<char *>(name));
        while (attr[end])
            end += 2;
    }

    char *marks = attr[end + 1];
    unsigned char mark = static_cast<unsigned char>(marks[i / 2]);
    if (mark & XML_ATTR_VALUE_OWNED)
        free(attr[i + 1]);
    mark = dup ? mark | XML_ATTR_VALUE_OWNED : mark & ~XML_ATTR_VALUE_OWNED;
    marks[i / 2] = static_cast<char>(mark);
    if (value) {
        attr[i + 1] = const_cast<char *>(value);
    } else {
        if (mark & XML_ATTR_NAME_OWNED)
            free(attr[i]);
        memmove(attr + i, attr + i + 2, (end + 2 - (i + 2)) * sizeof(char *));
        node->attr = static_cast<char **>(realloc(attr, end * sizeof(char *)));
        memmove(marks + i / 2, marks + i / 2 + 1, strlen(marks + i / 2 + 1) + 1);
    }
    node->flags &= ~XML_DUP;
    return node;
}

XmlNode *xmlSetFlag(XmlNode *node, short flag)
{
    if (node)
        node->flags |= static_cast<uint16_t>(flag);
    return node;
}

XmlNode *xmlCut(XmlNode *node)
{
    if (!node)
        return nullptr;
    if (node->next)
        node->next->sibling = node->sibling;
    if (XmlNode *parent = node->parent) {
        XmlNode *head = parent->child;
        if (head == node) {
            XmlNode *first = node->ordered;
            parent->child = first;
            XmlNode *following = node->next;
            if (following && following != first) {
                // The node's next joins the list of first elements by document order. The
                // new first child is the first of its name and heads that list.
                XmlNode *before = first, *expected = first;
                for (XmlNode *c = first; c && c != following; c = c->ordered) {
                    if (c == expected) {
                        before = c;
                        expected = c->sibling;
                    }
                }
                following->sibling = before->sibling;
                before->sibling = following;
            }
        } else {
            XmlNode *before = head;
            while (before && before->ordered != node)
                before = before->ordered;
            if (before)
                before->ordered = node->ordered;
            XmlNode *first = head, *previous = nullptr;
            while (first && !sameName(first, node)) {
                previous = first;
                first = first->sibling;
            }
            if (first == node) {
                if (previous)
                    previous->sibling = node->next ? node->next : node->sibling;
            } else if (first) {
                XmlNode *chain = first;
                while (chain->next && chain->next != node)
                    chain = chain->next;
                if (chain->next == node)
                    chain->next = node->next;
            }
        }
    }
    node->ordered = node->sibling = node->next = nullptr;
    return node;
}
