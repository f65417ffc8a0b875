// Steps of the store pattern shared by every configuration store: parse the
// file, copy values out, and the common "section/leaf" text reads and writes.
#ifndef ONU_CONFIG_STORE_ACCESS_H
#define ONU_CONFIG_STORE_ACCESS_H

#include <memory>
#include <string>

#include "xml/xml.h"

// A parsed document, freed on every path out of an operation.
using DocumentHandle = std::unique_ptr<XmlNode, decltype(&xmlFree)>;

// Holds no document when the file cannot be opened.
DocumentHandle openDocument(const std::string &path);

// Copy into `out` only when the element or attribute exists.
void copyText(const XmlNode *element, std::string &out);
void copyAttr(XmlNode *element, const char *name, std::string &out);
// True when the attribute exists and its value is byte-equal to `text`.
bool attrEquals(XmlNode *element, const char *name, const std::string &text);

// The text of section/leaf below the root. -1 when the file, the section or
// the leaf is missing.
int readLeafText(const std::string &path, const char *section, const char *leaf, std::string &out);
// As readLeafText, but a missing leaf gives 0 with `out` unchanged.
int readOptionalLeafText(const std::string &path, const char *section, const char *leaf,
                         std::string &out);
// Replaces the text of section/leaf and saves the file; an equal text gives 0
// without saving. -1 when the file, the section or the leaf is missing.
int replaceLeafText(const std::string &path, const char *section, const char *leaf,
                    const std::string &text);

#endif
