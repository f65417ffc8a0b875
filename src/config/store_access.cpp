#include "config/store_access.h"

DocumentHandle openDocument(const std::string &path) { return DocumentHandle(xmlParseFile(path.c_str()), xmlFree); }

void copyText(const XmlNode *element, std::string &out)
{
    if (element)
        out = element->txt;
}

void copyAttr(XmlNode *element, const char *name, std::string &out)
{
    const char *value = xmlAttr(element, name);
    if (value)
        out = value;
}

int readLeafText(const std::string &path, const char *section, const char *leaf, std::string &out)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *element = xmlChild(xmlChild(doc.get(), section), leaf);
    if (!element)
        return -1;
    out = element->txt;
    return 0;
}

int readOptionalLeafText(const std::string &path, const char *section, const char *leaf, std::string &out)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *container = xmlChild(doc.get(), section);
    if (!container)
        return -1;
    copyText(xmlChild(container, leaf), out);
    return 0;
}
