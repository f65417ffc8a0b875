// The in-place parser and the readers that hand it a whole file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "xml/xml_internal.h"

using namespace xmlimpl;

namespace {

// Character classes of the tag scanner, one bit per kind.
const unsigned char TAG_NAME_END = 1;   // NUL, tab, CR, LF, space, '/', '>'
const unsigned char ATTR_NAME_END = 2;  // the same and '='
const unsigned char END_NAME_END = 4;   // NUL, tab, CR, LF, space, '>'
const unsigned char BLANK = 8;          // tab, CR, LF, space
const unsigned char NAME_START = 16;    // ASCII letter, '_', ':'
const unsigned char SPACE = 32;         // C-locale isspace
const unsigned char TEXT_STOP = 64;     // NUL, '<', and what decoding changes: '&', CR
const unsigned char VALUE_STOP = 128;   // NUL, quotes, and what decoding changes: '&', white space but ' '

struct TagClasses {
    unsigned char of[256] = {};
    TagClasses() {
        for (unsigned char c : {'\0', '\t', '\r', '\n', ' ', '>'})
            of[c] |= TAG_NAME_END | ATTR_NAME_END | END_NAME_END;
        of[static_cast<unsigned char>('/')] |= TAG_NAME_END | ATTR_NAME_END;
        of[static_cast<unsigned char>('=')] |= ATTR_NAME_END;
        for (unsigned char c : {'\t', '\r', '\n', ' '}) of[c] |= BLANK;
        for (int c = 'a'; c <= 'z'; ++c) of[c] |= NAME_START;
        for (int c = 'A'; c <= 'Z'; ++c) of[c] |= NAME_START;
        of[static_cast<unsigned char>('_')] |= NAME_START;
        of[static_cast<unsigned char>(':')] |= NAME_START;
        for (unsigned char c : {'\t', '\n', '\v', '\f', '\r', ' '}) of[c] |= SPACE;
        for (unsigned char c : {'\0', '<', '&', '\r'}) of[c] |= TEXT_STOP;
        for (unsigned char c : {'\0', '"', '\'', '&', '\t', '\n', '\v', '\f', '\r'}) of[c] |= VALUE_STOP;
    }
    bool is(char c, unsigned char kind) const { return of[static_cast<unsigned char>(c)] & kind; }
    // The first character at or after p of a kind that holds NUL, so that the scan ends
    // at the end of text at the latest. Four at a time: markup and text runs are short,
    // and the loop overhead would otherwise cost as much as the tests.
    char *find(char *p, unsigned char kind) const {
        for (;; p += 4) {
            if (is(p[0], kind)) return p;
            if (is(p[1], kind)) return p + 1;
            if (is(p[2], kind)) return p + 2;
            if (is(p[3], kind)) return p + 3;
        }
    }
};
const TagClasses tag;

bool isSpace(char c) { return tag.is(c, SPACE); }

bool sameName(const char *a, const char *b) { return a[0] == b[0] && strcmp(a, b) == 0; }

// The '<' that ends a text, or the NUL at the end of text. `special` becomes the first
// character that decoding in mode '&' would change, or that end when there is none;
// `onlyPredefined` tells whether each such character starts a reference to a predefined
// entity.
char *textEnd(char *p, char **special, bool *onlyPredefined) {
    p = tag.find(p, TEXT_STOP);
    *special = p;
    bool predefined = true;
    char c;
    while (*p != '<' && *p) {
        predefined = predefined && predefinedReference(p, &c);
        p = tag.find(p + 1, TEXT_STOP);
    }
    *onlyPredefined = predefined;
    return p;
}

// The closing quote of an attribute value, or none. `plain` tells whether the value
// holds nothing that decoding in mode ' ' would change.
char *valueEnd(char *p, char quote, bool *plain) {
    for (;; ++p) {
        p = tag.find(p, VALUE_STOP);
        if (*p == quote) {
            *plain = true;
            return p;
        }
        if (*p != '"' && *p != '\'') break;
    }
    *plain = false;
    return *p ? strchr(p, quote) : nullptr;
}

void storeError(XmlDocument *doc, const char *p, const char *format, va_list args) {
    int line = 1 + static_cast<int>(std::count(static_cast<const char *>(doc->s), p, '\n'));
    char located[128];
    snprintf(located, sizeof located, "[error near line %d]: %s", line, format);
    vsnprintf(doc->err, sizeof doc->err, located, args);
}

// The attributes of one start tag, gathered in place and allocated once at their
// final size when the tag is complete.
class TagAttributes {
public:
    ~TagAttributes() {
        if (slots_ != inlineSlots_) {
            free(slots_);
            free(marks_);
        }
    }

    char **add(char *name) {
        if (count_ == capacity_) grow();
        char **pair = slots_ + 2 * count_;
        pair[0] = name;
        pair[1] = emptyText;
        marks_[count_++] = ' ';
        return pair;
    }
    void markOwned() { marks_[count_ - 1] |= 0x40; }

    size_t count() const { return count_; }
    // Fills a list of count() pairs whose terminator and marks slots are set. Tags have
    // few attributes: copying them here costs less than calling memcpy.
    void copyInto(char **attr) const {
        char *marks = attr[2 * count_ + 1];
        for (size_t i = 0; i < count_; ++i) {
            attr[2 * i] = slots_[2 * i];
            attr[2 * i + 1] = slots_[2 * i + 1];
            marks[i] = marks_[i];
        }
        marks[count_] = '\0';
    }
    // A list allocated on its own: the shared empty list, or name, value, ..., null,
    // marks string.
    char **list() const {
        if (count_ == 0) return emptyList;
        char **attr = static_cast<char **>(malloc((2 * count_ + 2) * sizeof(char *)));
        attr[2 * count_] = nullptr;
        attr[2 * count_ + 1] = static_cast<char *>(malloc(count_ + 1));
        copyInto(attr);
        return attr;
    }
    // Frees the values decoded into allocations when the tag is given up.
    void discard() {
        for (size_t i = 0; i < count_; ++i)
            if (static_cast<unsigned char>(marks_[i]) & 0x40) free(slots_[2 * i + 1]);
        count_ = 0;
    }

private:
    void grow() {
        capacity_ *= 2;
        char **slots = static_cast<char **>(malloc(2 * capacity_ * sizeof(char *)));
        char *marks = static_cast<char *>(malloc(capacity_));
        memcpy(slots, slots_, 2 * count_ * sizeof(char *));
        memcpy(marks, marks_, count_);
        if (slots_ != inlineSlots_) {
            free(slots_);
            free(marks_);
        }
        slots_ = slots;
        marks_ = marks;
    }

    static const size_t INLINE = 16;
    char *inlineSlots_[2 * INLINE];
    char inlineMarks_[INLINE];
    char **slots_ = inlineSlots_;
    char *marks_ = inlineMarks_;
    size_t count_ = 0, capacity_ = INLINE;
};

// Decoding mode of an attribute value: '*' when its element's declared list gives it a
// type other than CDATA.
char attributeMode(char **defaults, const char *name) {
    if (defaults)
        for (char **triplet = defaults + 1; *triplet; triplet += 3)
            if (strcmp(triplet[0], name) == 0) return triplet[2][0] == '*' ? '*' : ' ';
    return ' ';
}

class Parser {
public:
    Parser(XmlDocument *doc, char endByte)
        : doc_(doc), cur_(doc->cur), entities_(documentEntities(doc)), endByte_(endByte) {}

    void run();

private:
    bool endOfText(const char *p) const { return *p == '\0'; }
    bool closedByEnd(const char *p) const { return *p == '\0' && endByte_ == '>'; }
    char *fail(const char *p, const char *format, ...);
    // The markup's closing character at p becomes NUL; the text starts after it.
    char *textAfter(char *p);

    char *startTag(char *lt);
    char *endTag(char *lt);
    char *comment(char *lt);
    char *cdata(char *lt);
    char *doctype(char *lt);
    char *procInstr(char *lt);

    void open(char *name, const TagAttributes &attributes);
    void close();
    void append(XmlNode *parent, XmlNode *node);
    // Adds text[0..length) (length > 0, root element open) to cur_'s text, decoded in
    // `mode` from its first plainPrefix bytes on; `onlyPredefined` tells that from there
    // it holds nothing to decode but references to predefined entities in mode '&'.
    void addContent(char *text, size_t length, char mode, size_t plainPrefix, bool onlyPredefined);
    inline void appendPiece(char *piece, size_t length, bool allocated);
    inline bool appendShort(char *text, size_t length);
    void finish();

    XmlDocument *doc_;
    XmlNode *cur_;
    Entities entities_;
    char *end_ = nullptr;            // where the scan met the end of text
    XmlNode *lastClosed_ = nullptr;  // the most recently closed element
    bool rootOpen_ = false;          // the root element is open: text is kept
    size_t curLength_ = 0;           // length of cur_'s text
    char endByte_;
    bool failed_ = false;
};

char *Parser::fail(const char *p, const char *format, ...) {
    va_list args;
    va_start(args, format);
    storeError(doc_, p, format, args);
    va_end(args);
    failed_ = true;
    return nullptr;
}

char *Parser::textAfter(char *p) {
    if (endOfText(p)) {
        end_ = p;
        return nullptr;
    }
    *p = '\0';
    return p + 1;
}

// Each markup handler gets the position of its '<' and returns where the text after
// the markup starts, having turned the markup's closing '>' into NUL; none when the
// end of text is reached or on an error.
char *Parser::startTag(char *lt) {
    if (!cur_) return fail(lt, "markup outside of root element");
    char *name = lt + 1;
    char *p = name;
    p = tag.find(p, TAG_NAME_END);
    while (isSpace(*p)) *p++ = '\0';
    char **defaults = nullptr;
    if (*p != '/' && *p != '>' && *p != '\0' && doc_->attr[0]) defaults = defaultsFor(doc_->attr, name);

    TagAttributes attributes;
    while (*p && *p != '/' && *p != '>') {
        char **pair = attributes.add(p);
        p = tag.find(p, ATTR_NAME_END);
        if (*p == '=' || tag.is(*p, BLANK)) {
            *p++ = '\0';
            if (*p != '"')  // else the usual name="value", with nothing to skip
                while (*p == '=' || tag.is(*p, BLANK)) ++p;
            if (*p == '"' || *p == '\'') {
                char quote = *p;
                char *value = p + 1;
                bool plain;
                char *closing = valueEnd(value, quote, &plain);
                if (!closing) {
                    attributes.discard();
                    return fail(p, "missing %c", quote);
                }
                *closing = '\0';
                char mode = attributeMode(defaults, pair[0]);
                if (!plain || mode == '*') {
                    size_t length;
                    pair[1] = decode(value, static_cast<size_t>(closing - value), entities_, mode, 0, &length);
                    if (pair[1] != value) attributes.markOwned();
                } else {
                    pair[1] = value;
                }
                p = closing + 1;
            }
        }
        while (isSpace(*p)) ++p;
    }

    if (*p == '/') {
        *p++ = '\0';
        if (*p != '>' && !closedByEnd(p)) {
            attributes.discard();
            return fail(p, "missing >");
        }
        open(name, attributes);
        close();
        return textAfter(p);
    }
    if (*p != '>' && !closedByEnd(p)) {
        attributes.discard();
        return fail(p, "missing >");
    }
    // The name must end before the element is linked in by it.
    char *text = textAfter(p);
    open(name, attributes);
    return text;
}

char *Parser::endTag(char *lt) {
    char *name = lt + 2;
    char *p = name;
    p = tag.find(p, END_NAME_END);
    if (endOfText(p) && endByte_ != '>') return fail(p, "missing >");
    size_t length = static_cast<size_t>(p - name);
    if (!cur_ || !cur_->name || strncmp(cur_->name, name, length) != 0 || cur_->name[length]) {
        *p = '\0';
        return fail(lt, "unexpected closing tag </%s>", name);
    }
    close();
    while (isSpace(*p)) ++p;
    return textAfter(p);
}

char *Parser::comment(char *lt) {
    char *dashes = findText(lt + 4, "--");
    if (!dashes || (dashes[2] != '>' && !closedByEnd(dashes + 2))) return fail(lt, "unclosed <!--");
    return textAfter(dashes + 2);
}

char *Parser::cdata(char *lt) {
    char *text = lt + 9;
    char *end = findText(text, "]]>");
    if (!end) return fail(lt, "unclosed <![CDATA[");
    if (rootOpen_ && end != text) addContent(text, static_cast<size_t>(end - text), 'c', 0, false);
    return textAfter(end + 2);
}

char *Parser::doctype(char *lt) {
    char *p = lt + 9;
    p += strcspn(p, "[>");
    char *subset = nullptr, *subsetEnd = nullptr;
    if (*p == '[') {
        subset = p + 1;
        for (;;) {
            char *bracket = strchr(p + 1, ']');
            if (!bracket) {
                p += strlen(p);
                break;
            }
            p = bracket + 1;
            while (tag.is(*p, BLANK)) ++p;
            subsetEnd = bracket;
            if (*p == '>' || *p == '\0') break;
            p = bracket;
        }
    }
    if (endOfText(p) && endByte_ != '>') return fail(lt, "unclosed <!DOCTYPE");
    if (subset) {
        if (subsetEnd) *subsetEnd = '\0';
        if (!readInternalSubset(doc_, subset)) {
            failed_ = true;
            return nullptr;
        }
        entities_ = documentEntities(doc_);
    }
    return textAfter(p);
}

char *Parser::procInstr(char *lt) {
    char *mark = strchr(lt + 2, '?');
    while (mark && mark[1] != '>' && mark[1] != '\0') mark = strchr(mark + 1, '?');
    if (!mark || (mark[1] == '\0' && endByte_ != '>')) return fail(lt, "unclosed <?");
    *mark = '\0';
    recordProcInstr(doc_, lt + 2);
    return textAfter(mark + 1);
}

void Parser::open(char *name, const TagAttributes &attributes) {
    if (!cur_->name) {  // the root, a part of the document record
        rootOpen_ = true;
        cur_->name = name;
        cur_->attr = attributes.list();
        return;
    }
    XmlNode *node = newNode(name, attributes.count());
    if (attributes.count()) attributes.copyInto(node->attr);
    node->off = static_cast<uint32_t>(curLength_);
    node->parent = cur_;
    append(cur_, node);
    cur_ = node;
    curLength_ = 0;
}

// While an element is open, the `sibling` field of the second child of each name is
// free. It keeps an element of that name's chain from which the chain's end is near:
// children that follow a child of their own name (runs, as lists in configuration files
// come) are linked to it directly and leave the field alone; any other child of a name
// seen before walks from the kept element to the end and is kept in its place. So no
// chain is walked twice, and closing the element clears one field per name.
void Parser::append(XmlNode *parent, XmlNode *node) {
    if (!parent->child) {
        parent->child = node;
        return;
    }
    // Offsets never decrease while parsing, so the node goes to the end of its lists,
    // as the general insertion would put it.
    XmlNode *last = lastClosed_;  // the last child, so the last of its name
    last->ordered = node;
    if (sameName(last->name, node->name)) {
        last->next = node;
        return;
    }
    XmlNode *first = parent->child, *previous = nullptr;
    while (first && !sameName(first->name, node->name)) {
        previous = first;
        first = first->sibling;
    }
    if (!first) {
        previous->sibling = node;
        return;
    }
    XmlNode *second = first->next;
    if (!second) {
        first->next = node;
        return;
    }
    XmlNode *end = second->sibling ? second->sibling : second;
    while (end->next) end = end->next;
    end->next = node;
    second->sibling = node;
}

void Parser::close() {
    for (XmlNode *first = cur_->child; first; first = first->sibling)
        if (first->next) first->next->sibling = nullptr;
    lastClosed_ = cur_;
    curLength_ = cur_->off;
    cur_ = cur_->parent;
    rootOpen_ = cur_ != nullptr;
}

void Parser::addContent(char *text, size_t length, char mode, size_t plainPrefix, bool onlyPredefined) {
    text[length] = '\0';
    size_t pieceLength = length;
    char *piece = text;
    if (plainPrefix < length && onlyPredefined && entities_.predefined)
        piece = decodePredefined(text, plainPrefix, length, &pieceLength);
    else if (plainPrefix < length)
        piece = decode(text, length, entities_, mode, plainPrefix, &pieceLength);
    appendPiece(piece, pieceLength, piece != text);
}

inline void Parser::appendPiece(char *piece, size_t pieceLength, bool allocated) {
    if (curLength_ == 0) {
        if (cur_->flags & XML_TEXT_OWNED) free(cur_->txt);
        cur_->flags &= ~XML_TEXT_OWNED;
        cur_->txt = piece;  // an allocated piece has textCapacity room, as joined texts do
        if (allocated) cur_->flags |= XML_TEXT_OWNED;
        curLength_ = pieceLength;
        return;
    }
    size_t joined = curLength_ + pieceLength;
    size_t room = textCapacity(curLength_);  // the power of two an owned text has
    if (cur_->flags & XML_TEXT_OWNED) {
        if (joined >= room) {
            room = textCapacity(joined);
            cur_->txt = static_cast<char *>(realloc(cur_->txt, room));
        }
    } else {
        room = textCapacity(joined);
        char *copy = static_cast<char *>(malloc(room));
        memcpy(copy, cur_->txt, curLength_);
        cur_->txt = copy;
        cur_->flags |= XML_TEXT_OWNED;
    }
    memcpy(cur_->txt + curLength_, piece, pieceLength);
    cur_->txt[joined] = '\0';
    curLength_ = joined;
    if (allocated) free(piece);
}

// The usual piece between children, indentation, is short, needs no decoding and joins
// an owned text that has room for it. Such a piece is appended here without the general
// path's calls: one fixed-size copy, which carries bytes after the piece along, costs
// less than calling memcpy. False for any other piece.
inline bool Parser::appendShort(char *text, size_t length) {
    if (length > 16 || curLength_ == 0 || !(cur_->flags & XML_TEXT_OWNED) ||
        curLength_ + 16 >= textCapacity(curLength_) || doc_->e - text < 16)
        return false;
    char *to = cur_->txt + curLength_;
    memcpy(to, text, 16);
    to[length] = '\0';
    text[length] = '\0';
    curLength_ += length;
    return true;
}

// Clears the parse-time links of the elements still open.
void Parser::finish() {
    while (cur_) close();
}

void Parser::run() {
    char *p = strchr(doc_->s, '<');
    if (!p) {
        fail(doc_->s + strlen(doc_->s), "root tag missing");
        return;
    }
    for (;;) {
        char d = p[1];
        char *text;
        if (tag.is(d, NAME_START)) text = startTag(p);
        else if (d == '/') text = endTag(p);
        else if (strncmp(p + 1, "!--", 3) == 0) text = comment(p);
        else if (strncmp(p + 1, "![CDATA[", 8) == 0) text = cdata(p);
        else if (strncmp(p + 1, "!DOCTYPE", 8) == 0) text = doctype(p);
        else if (d == '?') text = procInstr(p);
        else text = fail(p, "unexpected <");
        if (!text) break;
        char *special;
        bool onlyPredefined;
        char *next = textEnd(text, &special, &onlyPredefined);
        if (!*next) {
            end_ = next;
            break;
        }
        size_t length = static_cast<size_t>(next - text);
        if (rootOpen_ && length && !(special == next && appendShort(text, length)))
            addContent(text, length, '&', static_cast<size_t>(special - text), onlyPredefined);
        p = next;
    }
    XmlNode *open = cur_;
    if (!failed_ && open && !open->name) fail(end_, "root tag missing");
    else if (!failed_ && open) fail(end_, "unclosed tag <%s>", open->name);
    finish();
    doc_->cur = open;
}

}  // namespace

void xmlimpl::setError(XmlDocument *doc, const char *p, const char *format, ...) {
    va_list args;
    va_start(args, format);
    storeError(doc, p, format, args);
    va_end(args);
}

XmlNode *xmlParseString(char *buffer, size_t length) {
    XmlDocument *doc = newDocument();
    doc->m = buffer;
    doc->s = doc->e = buffer;
    if (length == 0) {
        setError(doc, buffer, "root tag missing");
        return &doc->root;
    }
    char *text = buffer;
    if (static_cast<unsigned char>(buffer[0]) == 0xFE || static_cast<unsigned char>(buffer[0]) == 0xFF) {
        doc->u = fromUtf16(buffer, length, &length);
        text = doc->u;
        doc->s = doc->e = text;
        if (length == 0) {
            setError(doc, text, "root tag missing");
            return &doc->root;
        }
    }
    doc->s = text;
    doc->e = text + length;
    char endByte = text[length - 1];
    text[length - 1] = '\0';
    Parser(doc, endByte).run();
    return &doc->root;
}

// The descriptor's status, as fstat gives it. The C library's fstat passes
// the kernel an empty path of its own, and reading that one byte maps a
// window of the library's read-only data into every process that loads a
// file; this empty path lies among our own constants.
static int statusOf(int fd, struct stat *st) {
    static const char EMPTY_PATH[] = "";
    return fstatat(fd, EMPTY_PATH, st, AT_EMPTY_PATH);
}

XmlNode *xmlParseFd(int fd) {
    struct stat st;
    if (fd < 0 || statusOf(fd, &st) != 0) return nullptr;
    size_t size = static_cast<size_t>(st.st_size);
    char *buffer = static_cast<char *>(malloc(size ? size : 1));
    ssize_t got = read(fd, buffer, size);
    if (got < 0) {
        free(buffer);
        return nullptr;
    }
    XmlNode *root = xmlParseString(buffer, static_cast<size_t>(got));
    reinterpret_cast<XmlDocument *>(root)->len = UINT32_MAX;
    return root;
}

XmlNode *xmlParseStream(FILE *stream) {
    if (!stream) return nullptr;
    const size_t CHUNK = 1024;
    char *buffer = static_cast<char *>(malloc(CHUNK));
    if (!buffer) return nullptr;
    size_t used = 0;
    for (;;) {
        size_t got = fread(buffer + used, 1, CHUNK, stream);
        used += got;
        if (got < CHUNK) break;
        char *grown = static_cast<char *>(realloc(buffer, used + CHUNK));
        if (!grown) {
            free(buffer);
            return nullptr;
        }
        buffer = grown;
    }
    XmlNode *root = xmlParseString(buffer, used);
    reinterpret_cast<XmlDocument *>(root)->len = UINT32_MAX;
    return root;
}

XmlNode *xmlParseFile(const char *path) {
    int fd = open(path, O_RDONLY);
    if (fd < 0) return nullptr;
    XmlNode *root = xmlParseFd(fd);
    close(fd);
    return root;
}
