// Internals shared by the XML library's source files; not part of its interface.
#ifndef ONU_XML_XML_INTERNAL_H
#define ONU_XML_XML_INTERNAL_H

#include "xml/xml.h"

namespace xmlimpl {

extern char *emptyList[];    // shared empty attribute list: one null slot, no marks string
extern char **emptyTable[];  // shared empty default-attribute / processing-instruction table
extern char emptyText[];     // shared empty text ""

// A node record. The parser allocates an element's attribute list (slots, then marks)
// in the same block, right after the record; every other record keeps spare room at
// that place, so no separately allocated list can start there.
XmlNode *newNode(char *name, size_t attributePairs);
inline bool attributesInRecord(const XmlNode *node) {
    return node->attr == reinterpret_cast<char *const *>(node + 1);
}

// Whether an entity table starts with the predefined entities, as a document's does.
bool startsWithPredefined(char **entities);

// A document as after step 1 of a parse: no root name, empty text and tables.
XmlDocument *newDocument();
// The document a node belongs to: the top of its parent chain.
XmlDocument *documentOf(XmlNode *node);
bool inWorkArea(const XmlDocument *doc, const char *p);

// Capacity the library gives a text it allocates and may extend: a power of two above
// the length, so that appending pieces stays linear.
size_t textCapacity(size_t length);

// Decodes text[0..length) (text[length] is NUL) in place in the given mode; returns the
// result, a new allocation (of textCapacity bytes) when a replacement did not fit, and
// its string length. A replacement that would make the text grow by more than
// `growthLimit` bytes is not made: the reference stays as written.
char *decode(char *text, size_t length, char **entities, char mode, size_t growthLimit, size_t *resultLength);
// Growth limit of the texts of a document: entities nested into each other can
// otherwise expand exponentially.
size_t growthLimit(const XmlDocument *doc);
// UTF-8 copy of a UTF-16 input whose first byte is the byte-order mark; sets its length.
char *fromUtf16(const char *input, size_t length, size_t *resultLength);

// Stores "[error near line N]: message" for an error found at position p of the work area.
void setError(XmlDocument *doc, const char *p, const char *format, ...);
// Reads a NUL-terminated internal subset; false when it reported an error.
bool readInternalSubset(XmlDocument *doc, char *subset);
// Records the NUL-terminated text between "<?" and "?>".
void recordProcInstr(XmlDocument *doc, char *text);
// First default-attribute list for an element name; none when there is none.
char **defaultsFor(char ***table, const char *element);

}  // namespace xmlimpl

#endif
