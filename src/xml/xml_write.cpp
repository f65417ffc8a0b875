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
const unsigned char TEXT_MODE = 1, ATTRIBUTE_MODE = 2;
struct EscapeClasses {
    unsigned char of[256] = {};
    EscapeClasses()
    {
        for (unsigned char c : {'&', '<', '>', '\r'})
            of[c] = TEXT_MODE | ATTRIBUTE_MODE;
        for (unsigned char c : {'"', '\n', '\t'})
            of[c] = ATTRIBUTE_MODE;
        of[0] = TEXT_MODE | ATTRIBUTE_MODE;
    }
    bool stops(char c, unsigned char mode) const { return of[static_cast<unsigned char>(c)] & mode; }
};
const EscapeClasses escapes;

// The growing output. xmlEscape's buffer grows in steps of 1024 bytes, as its callers
// expect of it; the writer's own doubles, so that a large document is not copied again
// and again. When memory runs out the output fails: nothing more is written to it.
struct Output {
    char *buffer;
    size_t used;
    size_t capacity;
    bool stepwise;  // grow by 1024 bytes at a time
    bool failed = false;

    // Whether `room` more bytes fit, after growing as needed.
    bool reserve(size_t room) { return used + room <= capacity || grow(room); }
    bool grow(size_t room)
    {
        if (failed)
            return false;
        size_t wanted = capacity;
        if (stepwise)
            while (used + room > wanted)
                wanted += 1024;
        else
            wanted = used + room > 2 * capacity ? used + room : 2 * capacity;
        char *grown = static_cast<char *>(realloc(buffer, wanted));
        if (!grown) {
            failed = true;
            return false;
        }
        buffer = grown;
        capacity = wanted;
        return true;
    }
    void put(const char *text, size_t length)
    {
        moveBytes(buffer + used, text, length);
        used += length;
    }
    void put(char c) { buffer[used++] = c; }
    // Appends a NUL-terminated string, keeping `after` more bytes of room. Names are
    // short: copying them while looking for their end costs less than measuring them
    // with strlen first.
    bool putString(const char *text, size_t after)
    {
        const size_t PIECE = 32;
        for (;;) {
            if (!reserve(PIECE + after))
                return false;
            size_t i = 0;
            for (char *to = buffer + used; i < PIECE && text[i]; ++i)
                to[i] = text[i];
            used += i;
            if (i < PIECE)
                return true;
            text += PIECE;
        }
    }
};

const char *replacement(char c, bool attributeMode)
{
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return attributeMode ? "&quot;" : nullptr;
    case '\n':
        return attributeMode ? "&#xA;" : nullptr;
    case '\t':
        return attributeMode ? "&#x9;" : nullptr;
    case '\r':
        return "&#xD;";
    default:
        return nullptr;
    }
}

// The length of the run of bytes at text that the mode leaves alone, up to `length`.
// Unbounded texts (length all bits set) end at their NUL, which the scan stops at
// anyway: they are scanned four bytes a step without a bound to check.
inline size_t plainRun(const char *text, size_t length, unsigned char mode)
{
    size_t i = 0;
    if (length == SIZE_MAX) {
        for (;; i += 4) {
            if (escapes.stops(text[i], mode))
                return i;
            if (escapes.stops(text[i + 1], mode))
                return i + 1;
            if (escapes.stops(text[i + 2], mode))
                return i + 2;
            if (escapes.stops(text[i + 3], mode))
                return i + 3;
        }
    }
    while (i < length && !escapes.stops(text[i], mode))
        ++i;
    return i;
}

// Appends up to `length` bytes of text, stopping at a NUL, escaped; returns the number
// of bytes of text taken. Before each byte 10 bytes of room are kept, so a run of n
// plain bytes needs n + 9.
size_t escape(Output &out, const char *text, size_t length, bool attributeMode)
{
    unsigned char mode = attributeMode ? ATTRIBUTE_MODE : TEXT_MODE;
    size_t i = 0;
    while (i < length) {
        size_t run = plainRun(text + i, length - i, mode);
        if (run > 0) {
            if (!out.reserve(run + 9))
                return i;
            out.put(text + i, run);
            i += run;
            if (i == length)
                break;
        }
        char c = text[i];
        if (!c)
            break;
        if (!out.reserve(10))
            return i;
        if (const char *entity = replacement(c, attributeMode))
            while (*entity)
                out.put(*entity++);
        else
            out.put(c);
        ++i;
    }
    return i;
}

void putAttribute(Output &out, const char *name, const char *value)
{
    if (!out.reserve(1))
        return;
    out.put(' ');
    if (!out.putString(name, 6))
        return;
    out.put("=\"", 2);
    escape(out, value, SIZE_MAX, true);
    if (out.reserve(1))
        out.put('"');
}

bool sameName(const char *a, const char *b)
{
    for (; *a == *b; ++a, ++b)
        if (!*a)
            return true;
    return false;
}

// Whether no attribute pair before index i has the name of pair i.
bool firstOfItsName(char **attr, size_t i)
{
    for (size_t j = 0; j < i; j += 2)
        if (attr[j] == attr[i] || sameName(attr[j], attr[i]))
            return false;
    return true;
}

// Whether the element has an attribute of that name.
bool hasAttribute(char **attr, const char *name)
{
    for (size_t i = 0; attr[i]; i += 2)
        if (sameName(attr[i], name))
            return true;
    return false;
}

// First declared default of an attribute in an element's list (none without one).
const char *firstDefault(char **defaults, const char *name)
{
    for (char **triplet = defaults + 1; *triplet; triplet += 3)
        if (strcmp(triplet[0], name) == 0)
            return triplet[1];
    return nullptr;
}

void putStartTag(Output &out, XmlNode *node, char ***defaultTable)
{
    if (out.reserve(1)) {
        out.put('<');
        out.putString(node->name, 3);
    }
    // Of several attributes of one name only the first is the element's value.
    for (size_t i = 0; node->attr[i]; i += 2)
        if (firstOfItsName(node->attr, i))
            putAttribute(out, node->attr[i], node->attr[i + 1]);
    // Declared defaults the element does not override come out as its own attributes.
    if (char **defaults = defaultTable[0] ? defaultsFor(defaultTable, node->name) : nullptr) {
        for (char **triplet = defaults + 1; *triplet; triplet += 3) {
            if (!triplet[1] || hasAttribute(node->attr, triplet[0]))
                continue;
            if (firstDefault(defaults, triplet[0]) == triplet[1])
                putAttribute(out, triplet[0], triplet[1]);
        }
    }
    if (out.reserve(1))
        out.put('>');
}

void putEndTag(Output &out, const XmlNode *node)
{
    if (!out.reserve(2))
        return;
    out.put("</", 2);
    if (out.putString(node->name, 1))
        out.put('>');
}

// Writes an element, its subtree and the elements after it on its ordered chain, each
// preceded by its parent's text from `start`. Walks the tree through its links instead
// of recursing, so deep documents need no stack.
void writeElements(Output &out, XmlNode *node, char ***defaultTable)
{
    size_t start = 0;
    for (;;) {
        const char *parentText = node->parent ? node->parent->txt : emptyText;
        if (node->off > start) {
            size_t reached = start + escape(out, parentText + start, node->off - start, false);
            if (reached < node->off && !out.failed)
                node->flags |= PAST_TEXT_END;
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
            if (!parent)
                return;
            escape(out, parent->txt + next, SIZE_MAX, false);
            node = parent;
        }
    }
}

// Processing instructions of the document, those whose position mark is not `skip`.
void putProcInstrs(Output &out, XmlDocument *doc, char skip, bool lineBefore)
{
    for (char ***list = doc->pi; *list; ++list) {
        const char *target = (*list)[0];
        size_t texts = 0;
        while ((*list)[texts + 1])
            ++texts;
        const char *marks = (*list)[texts + 2];
        for (size_t i = 0; i < texts; ++i) {
            if (marks[i] == skip)
                continue;
            const char *text = (*list)[i + 1];
            size_t targetLength = strlen(target), textLength = strlen(text);
            if (!out.reserve(targetLength + textLength + 7))
                return;
            if (lineBefore)
                out.put('\n');
            out.put("<?", 2);
            out.put(target, targetLength);
            if (textLength)
                out.put(' ');
            out.put(text, textLength);
            out.put("?>", 2);
            if (!lineBefore)
                out.put('\n');
        }
    }
}

// Room for the text of a whole parsed document: about the size it was parsed from.
size_t expectedSize(const XmlDocument *doc, bool root)
{
    size_t parsed = root && doc->s ? static_cast<size_t>(doc->e - doc->s) : 0;
    return parsed + parsed / 8 + 1024;
}

}  // namespace

char *xmlToText(XmlNode *node)
{
    if (!node || !node->name)
        return static_cast<char *>(calloc(1, 1));
    XmlDocument *doc = documentOf(node);
    bool root = !node->parent;
    size_t capacity = expectedSize(doc, root);
    Output out{static_cast<char *>(malloc(capacity)), 0, capacity, false};
    if (!out.buffer)
        return nullptr;
    if (root)
        putProcInstrs(out, doc, '>', false);
    // A subtree is written alone, without its parent's text or the elements after it.
    XmlNode *parent = node->parent, *ordered = node->ordered;
    node->parent = node->ordered = nullptr;
    writeElements(out, node, doc->attr);
    node->parent = parent;
    node->ordered = ordered;
    if (root)
        putProcInstrs(out, doc, '<', true);
    if (!out.reserve(1) || out.failed) {
        free(out.buffer);
        return nullptr;
    }
    out.buffer[out.used] = '\0';
    char *text = static_cast<char *>(realloc(out.buffer, out.used + 1));
    return text ? text : out.buffer;
}

char *xmlEscape(const char *text, size_t length, char *buffer, size_t *used, size_t *capacity, short attributeMode)
{
    Output out{buffer, *used, *capacity, true};
    if (escape(out, text, length, attributeMode != 0) > 0 && !out.failed)
        out.buffer[out.used] = '\0';
    if (out.failed) {  // given up rather than handed back half-escaped
        free(out.buffer);
        return nullptr;
    }
    *used = out.used;
    *capacity = out.capacity;
    return out.buffer;
}
