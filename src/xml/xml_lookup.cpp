// Lookups in a parsed tree.
#include <cstdarg>
#include <cstring>

#include "xml/xml_internal.h"

using namespace xmlimpl;

XmlNode *xmlChild(XmlNode *node, const char *name)
{
    if (!node)
        return nullptr;
    for (XmlNode *child = node->child; child; child = child->sibling)
        if (child->name && strcmp(child->name, name) == 0)
            return child;
    return nullptr;
}

XmlNode *xmlIndex(XmlNode *node, int n)
{
    if (n < 0)
        return nullptr;
    for (; node && n > 0; --n)
        node = node->next;
    return node;
}

XmlNode *xmlGet(XmlNode *node, ...)
{
    va_list path;
    va_start(path, node);
    for (;;) {
        const char *name = va_arg(path, const char *);
        if (!name || !*name)
            break;
        node = xmlChild(node, name);
        int index = va_arg(path, int);
        if (index < 0)
            break;
        node = xmlIndex(node, index);
    }
    va_end(path);
    return node;
}

const char *xmlAttr(XmlNode *node, const char *name)
{
    if (!node || !name)
        return nullptr;
    for (size_t i = 0; node->attr[i]; i += 2)
        if (strcmp(node->attr[i], name) == 0)
            return node->attr[i + 1];
    if (!node->name)
        return nullptr;
    if (char **defaults = defaultsFor(documentOf(node)->attr, node->name))
        for (char **triplet = defaults + 1; *triplet; triplet += 3)
            if (strcmp(triplet[0], name) == 0)
                return triplet[1];
    return nullptr;
}

const char **xmlProcInstr(XmlNode *node, const char *target)
{
    if (!node)
        return const_cast<const char **>(emptyList);
    for (char ***list = documentOf(node)->pi; *list; ++list)
        if (strcmp((*list)[0], target) == 0)
            return const_cast<const char **>(*list + 1);
    return const_cast<const char **>(emptyList);
}

const char *xmlError(XmlNode *node) { return node ? documentOf(node)->err : ""; }
