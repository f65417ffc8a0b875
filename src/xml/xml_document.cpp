// Document creation and release.
#include <cstdlib>
#include <cstring>
#include <functional>

#include "xml/xml_internal.h"

namespace xmlimpl {

char *emptyList[1] = {nullptr};
char **emptyTable[1] = {nullptr};
char emptyText[1] = "";

namespace {

char lt[] = "lt;", ltValue[] = "&#60;";
char gt[] = "gt;", gtValue[] = "&#62;";
char quot[] = "quot;", quotValue[] = "&#34;";
char apos[] = "apos;", aposValue[] = "&#39;";
char amp[] = "amp;", ampValue[] = "&#38;";
char *const predefinedEntities[] = {lt, ltValue, gt, gtValue, quot, quotValue, apos, aposValue, amp, ampValue, nullptr};
const size_t PREDEFINED_SLOTS = 10;

}  // namespace

XmlDocument *newDocument()
{
    // The document record, after its header word, which is none as for a record
    // allocated alone.
    uintptr_t *record = static_cast<uintptr_t *>(calloc(1, sizeof(uintptr_t) + sizeof(XmlDocument)));
    char **entities = static_cast<char **>(malloc(sizeof predefinedEntities));
    if (!record || !entities) {
        free(record);
        free(entities);
        return nullptr;
    }
    XmlDocument *doc = reinterpret_cast<XmlDocument *>(record + 1);
    doc->root.attr = emptyList;
    doc->root.txt = emptyText;
    doc->cur = &doc->root;
    doc->ent = entities;
    memcpy(doc->ent, predefinedEntities, sizeof predefinedEntities);
    doc->attr = emptyTable;
    doc->pi = emptyTable;
    return doc;
}

bool startsWithPredefined(char **entities)
{
    // Slot by slot: a shorter table ends in a null, where the comparison stops.
    for (size_t i = 0; i < PREDEFINED_SLOTS; ++i)
        if (entities[i] != predefinedEntities[i])
            return false;
    return true;
}

XmlDocument *documentOf(XmlNode *node)
{
    while (node->parent)
        node = node->parent;
    return reinterpret_cast<XmlDocument *>(node);
}

bool inWorkArea(const XmlDocument *doc, const char *p)
{
    std::less_equal<const char *> le;
    std::less<const char *> lt;
    return doc->s && le(doc->s, p) && lt(p, doc->e);
}

}  // namespace xmlimpl

using namespace xmlimpl;

namespace {

// Frees what a node owns, but not the node record.
void releaseNode(XmlNode *node)
{
    if (node->attr != emptyList) {
        size_t n = 0;
        while (node->attr[n])
            n += 2;
        const char *marks = node->attr[n + 1];
        for (size_t i = 0; i < n; i += 2) {
            unsigned char mark = static_cast<unsigned char>(marks[i / 2]);
            if (mark & XML_ATTR_NAME_OWNED)
                free(node->attr[i]);
            if (mark & XML_ATTR_VALUE_OWNED)
                free(node->attr[i + 1]);
        }
        if (!attributesInRecord(node)) {
            free(node->attr[n + 1]);
            free(node->attr);
        }
    }
    freeText(node);
    if (node->flags & XML_NAME_OWNED)
        free(node->name);
}

// Frees a node that is not a document, its subtree and every node after it on its
// ordered chain. Iterative, so neither deep nesting nor long child lists use stack.
void freeNodes(XmlNode *top)
{
    XmlNode *node = top;
    size_t depth = 0;
    for (;;) {
        if (XmlNode *child = node->child) {
            node->child = nullptr;
            node = child;
            ++depth;
            continue;
        }
        XmlNode *following = node->ordered;
        XmlNode *up = node->parent;
        releaseNode(node);
        freeNodeRecord(node);
        if (following) {
            node = following;
        } else if (depth == 0) {
            return;
        } else {
            --depth;
            node = up;
        }
    }
}

void freeTables(XmlDocument *doc)
{
    for (size_t i = PREDEFINED_SLOTS; doc->ent[i]; i += 2)
        if (!inWorkArea(doc, doc->ent[i + 1]))
            free(doc->ent[i + 1]);
    free(doc->ent);
    if (doc->attr != emptyTable) {
        for (char ***list = doc->attr; *list; ++list) {
            for (char **triplet = *list + 1; *triplet; triplet += 3)
                if (triplet[1] && !inWorkArea(doc, triplet[1]))
                    free(triplet[1]);
            free(*list);
        }
        free(doc->attr);
    }
    if (doc->pi != emptyTable) {
        for (char ***list = doc->pi; *list; ++list) {
            char **slot = *list + 1;
            while (*slot)
                ++slot;
            free(slot[1]);
            free(*list);
        }
        free(doc->pi);
    }
    if (doc->len == UINT32_MAX)
        free(doc->m);
    free(doc->u);
}

}  // namespace

XmlNode *xmlNew(const char *name)
{
    XmlDocument *doc = newDocument();
    if (!doc)
        return nullptr;
    doc->root.name = const_cast<char *>(name);
    return &doc->root;
}

void xmlFree(XmlNode *node)
{
    if (!node)
        return;
    if (node->parent) {
        freeNodes(node);
        return;
    }
    XmlDocument *doc = reinterpret_cast<XmlDocument *>(node);
    if (node->child)
        freeNodes(node->child);
    freeTables(doc);
    releaseNode(node);
    free(&headerOf(node));
}
