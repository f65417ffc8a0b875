// Reading steps shared by every configuration store: parse the file, copy
// values out, and the common "section/leaf" text reads. (Writes: store_edit.h.)
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

// The text of section/leaf below the root. -1 when the file, the section or
// the leaf is missing.
int readLeafText(const std::string &path, const char *section, const char *leaf, std::string &out);
// As readLeafText, but a missing leaf gives 0 with `out` unchanged.
int readOptionalLeafText(const std::string &path, const char *section, const char *leaf, std::string &out);

#endif
