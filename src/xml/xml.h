// In-place XML document library: parser, lookups, writer and tree editing.
//
// C-style interface: plain structures, free functions, null pointers for none,
// no exceptions. The parser writes NULs into and decodes inside the buffer it
// is handed, so most strings of the tree point into that buffer.
#ifndef ONU_XML_XML_H
#define ONU_XML_XML_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Node flags. What a node owns is freed by the library (xmlFree, xmlSetText,
// xmlSetAttr), never by the caller: a text the parser made may lie in a block of
// the document's memory.
#define XML_NAME_OWNED 0x80  // free `name` with the node
#define XML_TEXT_OWNED 0x40  // free `txt` with the node
#define XML_DUP 0x20         // the next xmlSetAttr takes ownership of name and value

// Attribute ownership marks: bits of a pair's byte in the marks string, which is a
// space when the attribute owns neither string.
#define XML_ATTR_NAME_OWNED 0x80   // free the attribute's name with the node
#define XML_ATTR_VALUE_OWNED 0x40  // free the attribute's value with the node

struct XmlNode {
    char *name;        // element name
    char **attr;       // name, value, ..., null, marks string
    char *txt;         // character content, joined across child elements
    uint32_t off;      // position of this element in its parent's txt
    XmlNode *next;     // next element of the same name
    XmlNode *sibling;  // first element of the next different name
    XmlNode *ordered;  // next element in document order
    XmlNode *child;    // first child element in document order
    XmlNode *parent;   // none for the root element
    uint16_t flags;
};

struct XmlDocument {
    XmlNode root;        // first, so a document pointer is a root node pointer
    XmlNode *cur;        // innermost open element while parsing
    char *m;             // text buffer handed to the parser
    uint32_t len;        // 0: caller's buffer; all bits set: ours, freed by xmlFree
    char *u;             // UTF-8 copy of a UTF-16 input (owned)
    char *s;             // start of the work area
    char *e;             // end of the work area
    char **ent;          // general entities: name (with ';'), replacement, ..., null
    char ***attr;        // default attributes per element, null-terminated
    char ***pi;          // processing instructions per target, null-terminated
    int16_t standalone;  // 1 when the declaration says standalone="yes"
    char err[128];       // error text; empty after a successful parse
};

// Parsing: each returns the root node of a new document, or none when not even
// the document could be allocated. Running out of memory later stops the parse
// with the error "out of memory".
XmlNode *xmlParseString(char *buffer, size_t length);  // none only then
XmlNode *xmlParseFd(int fd);                           // none for a negative fd
XmlNode *xmlParseStream(FILE *stream);                 // none when allocation fails
XmlNode *xmlParseFile(const char *path);               // none when open fails

// Lookup: all accept none and then return none (or the empty list / "").
XmlNode *xmlChild(XmlNode *node, const char *name);
XmlNode *xmlIndex(XmlNode *node, int n);
// Path of (name, index) pairs ended by a null or empty name; a negative index
// ends the walk at that element.
XmlNode *xmlGet(XmlNode *node, ...);
const char *xmlAttr(XmlNode *node, const char *name);
const char **xmlProcInstr(XmlNode *node, const char *target);
const char *xmlError(XmlNode *node);
void xmlFree(XmlNode *node);

// Writing and editing.
char *xmlToText(XmlNode *node);     // allocated; the caller frees it; none when memory ran out
XmlNode *xmlNew(const char *name);  // none when memory ran out
XmlNode *xmlInsert(XmlNode *node, XmlNode *dest, size_t off);
XmlNode *xmlAddChild(XmlNode *parent, const char *name, size_t off);  // none also when memory ran out
XmlNode *xmlSetText(XmlNode *node, const char *text);
XmlNode *xmlSetAttr(XmlNode *node, const char *name, const char *value);
XmlNode *xmlSetFlag(XmlNode *node, short flag);
XmlNode *xmlCut(XmlNode *node);
// Appends text (length all bits set: up to the NUL) escaped in text or
// attribute mode to a growing buffer; returns the buffer, which may move, or
// none when it could not grow (the buffer is then freed).
char *xmlEscape(const char *text, size_t length, char *buffer, size_t *used, size_t *capacity, short attributeMode);
// Decodes a NUL-terminated string in place in mode '&', 'c', ' ', '*' or '%';
// returns the result, a new allocation when an entity replacement did not fit.
char *xmlDecode(char *text, char **entities, char mode);

#endif
