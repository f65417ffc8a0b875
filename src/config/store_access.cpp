#include "config/store_access.h"

#include "config/save_document.h"

DocumentHandle openDocument(const std::string &path)
{
    return DocumentHandle(xmlParseFile(path.c_str()), xmlFree);
}

void copyText(const XmlNode *element, std::string &out)
{
    if (element) {
        out = element->txt;
    }
}

void copyAttr(XmlNode *element, const char *name, std::string &out)
{
    const char *value = xmlAttr(element, name);
    if (value) {
        out = value;
    }
}

bool attrEquals(XmlNode *element, const char *name, const std::string &text)
{
    const char *value = xmlAttr(element, name);
    return value && text == value;
}

int readLeafText(const std::string &path, const char *section, const char *leaf, std::string &out)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *element = xmlChild(xmlChild(doc.get(), section), leaf);
    if (!element) {
        return -1;
    }
    out = element->txt;
    return 0;
}

int readOptionalLeafText(const std::string &path, const char *section, const char *leaf,
                         std::string &out)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *container = xmlChild(doc.get(), section);
    if (!container) {
        return -1;
    }
    copyText(xmlChild(container, leaf), out);
    return 0;
}

int replaceLeafText(const std::string &path, const char *section, const char *leaf,
                    const std::string &text)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *element = xmlChild(xmlChild(doc.get(), section), leaf);
    if (!element) {
        return -1;
    }
    if (text == element->txt) {
        return 0;
    }
    // The document borrows the text; `text` outlives the save below.
    xmlSetText(element, text.c_str());
    saveDocument(path, doc.get());
    return 0;
}
