// The writer: a document or subtree back to text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "xml/xml_internal.h"

using namespace xmlimpl;

namespace {

// Set on an element while it is written when its parent's text ended before the
// element's offset; cleared when the writer moves past the element.
const uint16_t PAST_TEXT_END = 0x100;

// Bytes that text mode (1) and attribute mode (2) replace; NUL (3) ends the text.
struct EscapeClasses {
    unsigned char of[256] = {};
    EscapeClasses() {
        for (unsigned char c : {'&', '<', '>', '\r'}) of[c] = 1 | 2;
        for (unsigned char c : {'"', '\n', '\t'}) of[c] = 2;
        of[0] = 1 | 2;
    }
};
const EscapeClasses escapes;

struct Output {
    char *buffer;
    size_t used;
    size_t capacity;

    // Grows in steps of 1024 bytes until `room` more bytes fit.
    void reserve(size_t room) {
        if (used + room <= capacity) return;
        while (used + room > capacity) capacity += 1024;
        buffer = static_cast<char *>(realloc(buffer, capacity));
    }
    void put(const char *text, size_t length) {
        memcpy(buffer + used, text, length);
        used += length;
    }
    void put(char c) { buffer[used++] = c; }
};

const char *replacement(char c, bool attributeMode) {
    switch (c) {
        case '&': return "&amp;";
        case '<': return "&lt;";
        case '>': return "&gt;";
        case '"': return attributeMode ? "&quot;" : nullptr;
        case '\n': return attributeMode ? "&#xA;" : nullptr;
        case '\t': return attributeMode ? "&#x9;" : nullptr;
        case '\r': return "&#xD;";
        default: return nullptr;
    }
}

// Appends up to `length` bytes of text, stopping at a NUL, escaped; returns the number
// of bytes of text taken. Before each byte 10 bytes of room are kept, so a run of n
// plain bytes needs n + 9.
size_t escape(Output &out, const char *text, size_t length, bool attributeMode) {
    unsigned char special = attributeMode ? 2 : 1;
    size_t i = 0;
    while (i < length) {
        size_t run = i;
        while (run < length && !(escapes.of[static_cast<unsigned char>(text[run])] & special)) ++run;
        if (run > i) {
            out.reserve(run - i + 9);
            out.put(text + i, run - i);
            i = run;
            if (i == length) break;
        }
        char c = text[i];
        if (!c) break;
        out.reserve(10);
        if (const char *entity = replacement(c, attributeMode)) out.put(entity, strlen(entity));
        else out.put(c);
        ++i;
    }
    return i;
}

void putAttribute(Output &out, const char *name, const char *value) {
    size_t length = strlen(name);
    out.reserve(length + 7);
    out.put(' ');
    out.put(name, length);
    out.put("=\"", 2);
    escape(out, value, SIZE_MAX, true);
    out.reserve(1);
    out.put('"');
}

// Index of the first attribute pair with that name.
size_t firstAttribute(char **attr, const char *name) {
    size_t i = 0;
    while (attr[i] && (attr[i][0] != name[0] || strcmp(attr[i], name) != 0)) i += 2;
    return i;
}

// First declared default of an attribute in an element's list (none without one).
const char *firstDefault(char **defaults, const char *name) {
    for (char **triplet = defaults + 1; *triplet; triplet += 3)
        if (strcmp(triplet[0], name) == 0) return triplet[1];
    return nullptr;
}

void putStartTag(Output &out, XmlNode *node, char ***defaultTable) {
    size_t length = strlen(node->name);
    out.reserve(length + 4);
    out.put('<');
    out.put(node->name, length);
    // Of several attributes of one name only the first is the element's value.
    for (size_t i = 0; node->attr[i]; i += 2)
        if (firstAttribute(node->attr, node->attr[i]) == i) putAttribute(out, node->attr[i], node->attr[i + 1]);
    // Declared defaults the element does not override come out as its own attributes.
    if (char **defaults = defaultsFor(defaultTable, node->name)) {
        for (char **triplet = defaults + 1; *triplet; triplet += 3) {
            if (!triplet[1] || node->attr[firstAttribute(node->attr, triplet[0])]) continue;
            if (firstDefault(defaults, triplet[0]) == triplet[1]) putAttribute(out, triplet[0], triplet[1]);
        }
    }
    out.reserve(1);
    out.put('>');
}

void putEndTag(Output &out, const XmlNode *node) {
    size_t length = strlen(node->name);
    out.reserve(length + 4);
    out.put("</", 2);
    out.put(node->name, length);
    out.put('>');
}

// Writes an element, its subtree and the elements after it on its ordered chain, each
// preceded by its parent's text from `start`. Walks the tree through its links instead
// of recursing, so deep documents need no stack.
void writeElements(Output &out, XmlNode *node, char ***defaultTable) {
    size_t start = 0;
    for (;;) {
        const char *parentText = node->parent ? node->parent->txt : emptyText;
        size_t reached = node->off;
        if (node->off > start) {
            reached = start + escape(out, parentText + start, node->off - start, false);
            if (reached < node->off) node->flags |= PAST_TEXT_END;
        }
        putStartTag(out, node, defaultTable);
        if (node->child) {
            node = node->child;
            start = 0;
            continue;
        }
        escape(out, node->txt, SIZE_MAX, false);
        for (;;) {
            putEndTag(out, node);
            XmlNode *parent = node->parent;
            size_t next = node->off;
            if (node->flags & PAST_TEXT_END) {
                node->flags &= ~PAST_TEXT_END;
                next = strlen(parent ? parent->txt : emptyText);
            }
            if (node->ordered) {
                node = node->ordered;
                start = next;
                break;
            }
            if (!parent) return;
            escape(out, parent->txt + next, SIZE_MAX, false);
            node = parent;
        }
    }
}

// Processing instructions of the document, those whose position mark is not `skip`.
void putProcInstrs(Output &out, XmlDocument *doc, char skip, bool lineBefore) {
    for (char ***list = doc->pi; *list; ++list) {
        const char *target = (*list)[0];
        size_t texts = 0;
        while ((*list)[texts + 1]) ++texts;
        const char *marks = (*list)[texts + 2];
        for (size_t i = 0; i < texts; ++i) {
            if (marks[i] == skip) continue;
            const char *text = (*list)[i + 1];
            size_t targetLength = strlen(target), textLength = strlen(text);
            out.reserve(targetLength + textLength + 7);
            if (lineBefore) out.put('\n');
            out.put("<?", 2);
            out.put(target, targetLength);
            if (textLength) out.put(' ');
            out.put(text, textLength);
            out.put("?>", 2);
            if (!lineBefore) out.put('\n');
        }
    }
}

}  // namespace

char *xmlToText(XmlNode *node) {
    Output out{static_cast<char *>(malloc(1024)), 0, 1024};
    out.buffer[0] = '\0';
    if (!node || !node->name) return static_cast<char *>(realloc(out.buffer, 1));
    XmlDocument *doc = documentOf(node);
    bool root = !node->parent;
    if (root) putProcInstrs(out, doc, '>', false);
    // A subtree is written alone, without its parent's text or the elements after it.
    XmlNode *parent = node->parent, *ordered = node->ordered;
    node->parent = node->ordered = nullptr;
    writeElements(out, node, doc->attr);
    node->parent = parent;
    node->ordered = ordered;
    if (root) putProcInstrs(out, doc, '<', true);
    out.reserve(1);
    out.buffer[out.used] = '\0';
    return static_cast<char *>(realloc(out.buffer, out.used + 1));
}

char *xmlEscape(const char *text, size_t length, char *buffer, size_t *used, size_t *capacity,
                short attributeMode) {
    Output out{buffer, *used, *capacity};
    if (escape(out, text, length, attributeMode != 0) > 0) out.buffer[out.used] = '\0';
    *used = out.used;
    *capacity = out.capacity;
    return out.buffer;
}
