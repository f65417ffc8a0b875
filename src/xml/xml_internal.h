// Internals shared by the XML library's source files; not part of its interface.
#ifndef ONU_XML_XML_INTERNAL_H
#define ONU_XML_XML_INTERNAL_H

#include <cstdlib>
#include <cstring>

#include "xml/xml.h"

namespace xmlimpl {

extern char *emptyList[];    // shared empty attribute list: one null slot, no marks string
extern char **emptyTable[];  // shared empty default-attribute / processing-instruction table
extern char emptyText[];     // shared empty text ""

// The first `needle` (not empty) at or after `p`, or none, as strstr finds it.
// The C library's strstr is a large vector routine in pages that nothing else
// a request does maps; the parser's needles are short, and scanning for their
// first byte with strchr uses code every process already has.
inline char *findText(char *p, const char *needle) {
    const size_t rest = strlen(needle + 1);
    while ((p = strchr(p, needle[0])) && strncmp(p + 1, needle + 1, rest) != 0) ++p;
    return p;
}

// A node record. The parser allocates an element's attribute list (slots, then marks)
// in the same block, right after the record; every other record keeps spare room at
// that place, so no separately allocated list can start there.
inline XmlNode *newNode(char *name, size_t attributePairs) {
    size_t attributeBytes =
        attributePairs ? (2 * attributePairs + 2) * sizeof(char *) + attributePairs + 1 : sizeof(char *);
    XmlNode *node = static_cast<XmlNode *>(malloc(sizeof(XmlNode) + attributeBytes));
    *node = XmlNode{name, emptyList, emptyText, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0};
    if (attributePairs) {
        node->attr = reinterpret_cast<char **>(node + 1);
        char *marks = reinterpret_cast<char *>(node->attr + 2 * attributePairs + 2);
        node->attr[2 * attributePairs] = nullptr;
        node->attr[2 * attributePairs + 1] = marks;
    }
    return node;
}
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
inline size_t textCapacity(size_t length) {
    if (length < 64) return 64;
    return static_cast<size_t>(1ull << (64 - __builtin_clzll(static_cast<unsigned long long>(length))));
}

// The entities a text is decoded with.
struct Entities {
    char **table;        // name (with ';'), replacement, ..., null
    bool predefined;     // whether the table starts with the predefined entities
    size_t growthLimit;  // a replacement that would make the text grow by more is not made
};
// A document's general entities.
Entities documentEntities(const XmlDocument *doc);
// Parameter entities of a document's internal subset.
Entities parameterEntities(const XmlDocument *doc, char **table);

// The length of the reference to a predefined entity at p ("&lt;", "&gt;", "&amp;",
// "&quot;", "&apos;") and the character it stands for; 0 when p holds none. Compared
// character by character: the text may end anywhere after p.
inline size_t predefinedReference(const char *p, char *c) {
    const char *a = p + 1;
    if (*p != '&') return 0;
    if (a[0] == 'l' && a[1] == 't' && a[2] == ';') return *c = '<', 4;
    if (a[0] == 'g' && a[1] == 't' && a[2] == ';') return *c = '>', 4;
    if (a[0] == 'a' && a[1] == 'm' && a[2] == 'p' && a[3] == ';') return *c = '&', 5;
    if (a[0] == 'q' && a[1] == 'u' && a[2] == 'o' && a[3] == 't' && a[4] == ';') return *c = '"', 6;
    if (a[0] == 'a' && a[1] == 'p' && a[2] == 'o' && a[3] == 's' && a[4] == ';') return *c = '\'', 6;
    return 0;
}

// Decodes text[0..length) (text[length] is NUL) in place in the given mode; returns the
// result, a new allocation (of textCapacity bytes) when a replacement did not fit, and
// its string length. A replacement that would make the text grow by more than the
// growth limit is not made: the reference stays as written. The caller may know that
// the first `plainPrefix` bytes hold nothing to decode.
char *decode(char *text, size_t length, const Entities &entities, char mode, size_t plainPrefix,
             size_t *resultLength);
// What decode makes in mode '&', with a table that starts with the predefined entities,
// of a text whose only characters to decode are references to predefined entities,
// the first at text[from]. One pass, without decode's general setup: the texts of
// configuration files are of this kind.
char *decodePredefined(char *text, size_t from, size_t length, size_t *resultLength);
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
