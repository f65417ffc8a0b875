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
    TagClasses()
    {
        for (unsigned char c : {'\0', '\t', '\r', '\n', ' ', '>'})
            of[c] |= TAG_NAME_END | ATTR_NAME_END | END_NAME_END;
        of[static_cast<unsigned char>('/')] |= TAG_NAME_END | ATTR_NAME_END;
        of[static_cast<unsigned char>('=')] |= ATTR_NAME_END;
        for (unsigned char c : {'\t', '\r', '\n', ' '})
            of[c] |= BLANK;
        for (int c = 'a'; c <= 'z'; ++c)
            of[c] |= NAME_START;
        for (int c = 'A'; c <= 'Z'; ++c)
            of[c] |= NAME_START;
        of[static_cast<unsigned char>('_')] |= NAME_START;
        of[static_cast<unsigned char>(':')] |= NAME_START;
        for (unsigned char c : {'\t', '\n', '\v', '\f', '\r', ' '})
            of[c] |= SPACE;
        for (unsigned char c : {'\0', '<', '&', '\r'})
            of[c] |= TEXT_STOP;
        for (unsigned char c : {'\0', '"', '\'', '&', '\t', '\n', '\v', '\f', '\r'})
            of[c] |= VALUE_STOP;
    }
    bool is(char c, unsigned char kind) const { return of[static_cast<unsigned char>(c)] & kind; }
    // The first character at or after p of a kind that holds NUL, so that the scan ends
    // at the end of text at the latest. Four at a time: markup and text runs are short,
    // and the loop overhead would otherwise cost as much as the tests.
    char *find(char *p, unsigned char kind) const
    {
        for (;; p += 4) {
            if (is(p[0], kind))
                return p;
            if (is(p[1], kind))
                return p + 1;
            if (is(p[2], kind))
                return p + 2;
            if (is(p[3], kind))
                return p + 3;
        }
    }
};
const TagClasses tag;

bool isSpace(char c) { return tag.is(c, SPACE); }

// Names and markup keywords are short: comparing them here costs less than a call.
bool sameName(const char *a, const char *b)
{
    for (; *a == *b; ++a, ++b)
        if (!*a)
            return true;
    return false;
}
// A bit standing for an element name, from its length and its first and last bytes: the
// names of an element's children mostly differ in these.
uint64_t nameBit(const char *name, size_t length)
{
    unsigned hash = static_cast<unsigned char>(name[0]) * 7u + static_cast<unsigned>(length) * 13u;
    if (length)
        hash += static_cast<unsigned char>(name[length - 1]);
    return uint64_t{1} << (hash & 63);
}
bool startsWith(const char *p, const char *word)
{
    for (; *word; ++p, ++word)
        if (*p != *word)
            return false;
    return true;
}

// The '<' that ends a text at p, or the NUL at the end of text.
char *textEnd(char *p)
{
    p = tag.find(p, TEXT_STOP);
    while (*p != '<' && *p)
        p = tag.find(p + 1, TEXT_STOP);
    return p;
}

// The closing quote of an attribute value, or none. `plain` tells whether the value
// holds nothing that decoding in mode ' ' would change.
char *valueEnd(char *p, char quote, bool *plain)
{
    for (;; ++p) {
        p = tag.find(p, VALUE_STOP);
        if (*p == quote) {
            *plain = true;
            return p;
        }
        if (*p != '"' && *p != '\'')
            break;
    }
    *plain = false;
    return *p ? strchr(p, quote) : nullptr;
}

void storeError(XmlDocument *doc, const char *p, const char *format, va_list args)
{
    int line = 1 + static_cast<int>(std::count(static_cast<const char *>(doc->s), p, '\n'));
    char located[128];
    snprintf(located, sizeof located, "[error near line %d]: %s", line, format);
    vsnprintf(doc->err, sizeof doc->err, located, args);
}

// The attributes of one start tag. Their slots are gathered where the element's record
// will hold them when there is room for them there, so that they need not be copied;
// otherwise, as their marks always are, here or in an allocation that grows.
class TagAttributes {
public:
    // `direct`: room for `directPairs` pairs where the record will hold its list, or none.
    TagAttributes(char **direct, size_t directPairs)
        : slots_(direct ? direct : inlineSlots_), capacity_(direct && directPairs < INLINE ? directPairs : INLINE),
          direct_(direct != nullptr)
    {
    }
    ~TagAttributes()
    {
        if (heap_) {
            free(slots_);
            free(marks_);
        }
    }

    // The new pair, its value "" for now; none when memory ran out.
    char **add(char *name)
    {
        if (count_ == capacity_ && !grow())
            return nullptr;
        char **pair = slots_ + 2 * count_;
        ASAN_UNPOISON_MEMORY_REGION(pair, 2 * sizeof *pair);
        pair[0] = name;
        pair[1] = emptyText;
        marks_[count_++] = ' ';
        return pair;
    }
    void markOwned() { marks_[count_ - 1] |= XML_ATTR_VALUE_OWNED; }

    size_t count() const { return count_; }
    // Fills a list of count() pairs whose terminator and marks slots are set. Tags have
    // few attributes: copying them here costs less than calling memcpy.
    void copyInto(char **attr) const
    {
        if (attr != slots_)
            for (size_t i = 0; i < 2 * count_; ++i)
                attr[i] = slots_[i];
        char *marks = attr[2 * count_ + 1];
        for (size_t i = 0; i < count_; ++i)
            marks[i] = marks_[i];
        marks[count_] = '\0';
    }
    // A list allocated on its own: the shared empty list, or name, value, ..., null,
    // marks string; none when memory ran out.
    char **list() const
    {
        if (count_ == 0)
            return emptyList;
        char **attr = static_cast<char **>(malloc((2 * count_ + 2) * sizeof(char *)));
        char *marks = static_cast<char *>(malloc(count_ + 1));
        if (!attr || !marks) {
            free(attr);
            free(marks);
            return nullptr;
        }
        attr[2 * count_] = nullptr;
        attr[2 * count_ + 1] = marks;
        copyInto(attr);
        return attr;
    }
    // Frees the values decoded into allocations when the tag is given up.
    void discard()
    {
        for (size_t i = 0; i < count_; ++i)
            if (static_cast<unsigned char>(marks_[i]) & XML_ATTR_VALUE_OWNED)
                free(slots_[2 * i + 1]);
        count_ = 0;
    }

private:
    // Moves the pairs and marks to allocations twice as large; false when memory ran out.
    bool grow()
    {
        size_t capacity = 2 * (direct_ ? INLINE : capacity_);
        char **slots = static_cast<char **>(malloc(2 * capacity * sizeof(char *)));
        char *marks = static_cast<char *>(malloc(capacity));
        if (!slots || !marks) {
            free(slots);
            free(marks);
            return false;
        }
        memcpy(slots, slots_, 2 * count_ * sizeof(char *));
        memcpy(marks, marks_, count_);
        if (heap_) {
            free(slots_);
            free(marks_);
        }
        slots_ = slots;
        marks_ = marks;
        capacity_ = capacity;
        heap_ = true;
        direct_ = false;
        return true;
    }

    static const size_t INLINE = 16;
    char *inlineSlots_[2 * INLINE];
    char inlineMarks_[INLINE];
    char **slots_;
    char *marks_ = inlineMarks_;
    size_t count_ = 0, capacity_;
    bool direct_;        // the slots are in the record's place
    bool heap_ = false;  // the slots and marks are allocations of their own
};

// Decoding mode of an attribute value: '*' when its element's declared list gives it a
// type other than CDATA.
char attributeMode(char **defaults, const char *name)
{
    if (defaults)
        for (char **triplet = defaults + 1; *triplet; triplet += 3)
            if (strcmp(triplet[0], name) == 0)
                return triplet[2][0] == '*' ? '*' : ' ';
    return ' ';
}

class Parser {
public:
    Parser(XmlDocument *doc, char endByte)
        : doc_(doc), cur_(doc->cur), entities_(documentEntities(doc)), endByte_(endByte)
    {
    }

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

    // False when memory ran out, the attributes then given up.
    bool open(char *name, uint64_t nameBit, TagAttributes &attributes);
    void close();
    void append(XmlNode *parent, XmlNode *node, uint64_t nameBit);

    // Character content; the operations adding it return false when memory ran out.
    char *scanText(char *text, size_t *length, size_t *decoded, bool *longer);
    // Adds text[0..length) (length > 0, root element open) to cur_'s text, decoded in
    // `mode` from its first `decoded` bytes on; `longer` tells that a replacement made in
    // those was longer than its reference.
    bool addContent(char *text, size_t length, char mode, size_t decoded, bool longer);
    enum Piece { IN_BUFFER, TO_OWN, ALLOCATED };  // where a piece is, and whether it must be owned
    inline bool appendPiece(char *piece, size_t length, Piece kind);
    inline bool appendShort(char *text, size_t length);
    bool moveText(size_t capacity);
    void finish();

    XmlDocument *doc_;
    XmlNode *cur_;
    NodeBlocks nodes_;
    Entities entities_;
    char *end_ = nullptr;            // where the scan met the end of text
    XmlNode *lastClosed_ = nullptr;  // the most recently closed element
    // What is kept of the open elements less than LEVELS deep (the root at 0) to link
    // their children: a child's name then seldom has to be looked for among them.
    struct Level {
        uint64_t names;     // a bit for each name on the children's sibling list (see nameBit)
        uint64_t lastBit;   // the bit of the last child's name
        XmlNode *lastName;  // the last element on that list
        bool keptChains;    // a child's `sibling` field keeps a place in its name's chain
    };
    static const size_t LEVELS = 32;
    Level levels_[LEVELS] = {};
    size_t depth_ = 0;       // of cur_
    bool rootOpen_ = false;  // the root element is open: text is kept
    size_t curLength_ = 0;   // length of cur_'s text
    char endByte_;
    bool failed_ = false;
};

char *Parser::fail(const char *p, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    storeError(doc_, p, format, args);
    va_end(args);
    failed_ = true;
    return nullptr;
}

char *Parser::textAfter(char *p)
{
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
char *Parser::startTag(char *lt)
{
    if (!cur_)
        return fail(lt, "markup outside of root element");
    char *name = lt + 1;
    char *p = name;
    p = tag.find(p, TAG_NAME_END);
    uint64_t bit = nameBit(name, static_cast<size_t>(p - name));
    while (isSpace(*p))
        *p++ = '\0';
    char **defaults = nullptr;
    if (*p != '/' && *p != '>' && *p != '\0' && doc_->attr[0])
        defaults = defaultsFor(doc_->attr, name);

    size_t directPairs = 0;
    char **direct = cur_->name ? nodes_.attributeRoom(&directPairs) : nullptr;
    TagAttributes attributes(direct, directPairs);
    while (*p && *p != '/' && *p != '>') {
        char **pair = attributes.add(p);
        if (!pair) {
            attributes.discard();
            return fail(p, "out of memory");
        }
        p = tag.find(p, ATTR_NAME_END);
        if (*p == '=' || tag.is(*p, BLANK)) {
            *p++ = '\0';
            if (*p != '"')  // else the usual name="value", with nothing to skip
                while (*p == '=' || tag.is(*p, BLANK))
                    ++p;
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
                    pair[1] = decode(value, static_cast<size_t>(closing - value), entities_, mode, 0, false, &length);
                    if (pair[1] != value)
                        attributes.markOwned();
                } else {
                    pair[1] = value;
                }
                p = closing + 1;
            }
        }
        while (isSpace(*p))
            ++p;
    }

    bool selfClosing = *p == '/';
    if (selfClosing)
        *p++ = '\0';
    if (*p != '>' && !closedByEnd(p)) {
        attributes.discard();
        return fail(p, "missing >");
    }
    // The name must end before the element is linked in by it: the closing '>' may be
    // what ends it.
    char *text = textAfter(p);
    if (!open(name, bit, attributes))
        return fail(p, "out of memory");
    if (selfClosing)
        close();
    return text;
}

char *Parser::endTag(char *lt)
{
    char *name = lt + 2;
    char *p = name;
    // The usual end tag closes cur_: its name is compared as it is scanned. Where it
    // differs, the scan goes on to the name's end (the bytes compared so far are those
    // of a name, none of which ends one).
    bool closesCur = cur_ && cur_->name;
    if (closesCur) {
        for (const char *expected = cur_->name; *expected && *p == *expected; ++expected)
            ++p;
        closesCur = cur_->name[p - name] == '\0' && tag.is(*p, END_NAME_END);
    }
    if (!closesCur)
        p = tag.find(p, END_NAME_END);
    if (endOfText(p) && endByte_ != '>')
        return fail(p, "missing >");
    if (!closesCur) {
        *p = '\0';
        return fail(lt, "unexpected closing tag </%s>", name);
    }
    close();
    while (isSpace(*p))
        ++p;
    return textAfter(p);
}

char *Parser::comment(char *lt)
{
    char *dashes = lt + 4;  // comments are short: a loop finds their end sooner than a call
    while (*dashes && !(dashes[0] == '-' && dashes[1] == '-'))
        ++dashes;
    if (!*dashes || (dashes[2] != '>' && !closedByEnd(dashes + 2)))
        return fail(lt, "unclosed <!--");
    return textAfter(dashes + 2);
}

char *Parser::cdata(char *lt)
{
    char *text = lt + 9;
    char *end = findText(text, "]]>");
    if (!end)
        return fail(lt, "unclosed <![CDATA[");
    if (rootOpen_ && end != text && !addContent(text, static_cast<size_t>(end - text), 'c', 0, false))
        return fail(lt, "out of memory");
    return textAfter(end + 2);
}

char *Parser::doctype(char *lt)
{
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
            while (tag.is(*p, BLANK))
                ++p;
            subsetEnd = bracket;
            if (*p == '>' || *p == '\0')
                break;
            p = bracket;
        }
    }
    if (endOfText(p) && endByte_ != '>')
        return fail(lt, "unclosed <!DOCTYPE");
    if (subset) {
        if (subsetEnd)
            *subsetEnd = '\0';
        if (!readInternalSubset(doc_, subset)) {
            failed_ = true;
            return nullptr;
        }
        entities_ = documentEntities(doc_);
    }
    return textAfter(p);
}

char *Parser::procInstr(char *lt)
{
    char *mark = strchr(lt + 2, '?');
    while (mark && mark[1] != '>' && mark[1] != '\0')
        mark = strchr(mark + 1, '?');
    if (!mark || (mark[1] == '\0' && endByte_ != '>'))
        return fail(lt, "unclosed <?");
    *mark = '\0';
    recordProcInstr(doc_, lt + 2);
    return textAfter(mark + 1);
}

bool Parser::open(char *name, uint64_t nameBit, TagAttributes &attributes)
{
    if (!cur_->name) {  // the root, a part of the document record
        char **list = attributes.list();
        if (!list) {
            attributes.discard();
            return false;
        }
        rootOpen_ = true;
        cur_->name = name;
        cur_->attr = list;
        return true;
    }
    XmlNode *node = nodes_.take(name, attributes.count());
    if (!node) {
        attributes.discard();
        return false;
    }
    if (attributes.count())
        attributes.copyInto(node->attr);
    node->off = static_cast<uint32_t>(curLength_);
    node->parent = cur_;
    append(cur_, node, nameBit);
    cur_ = node;
    curLength_ = 0;
    ++depth_;
    return true;
}

// While an element is open, the `sibling` field of the second child of each name is
// free. It keeps an element of that name's chain from which the chain's end is near:
// children that follow a child of their own name (runs, as lists in configuration files
// come) are linked to it directly and leave the field alone; any other child of a name
// seen before walks from the kept element to the end and is kept in its place. So no
// chain is walked twice, and closing the element clears one field per name. A child
// whose name the level's bits show to be new goes to the end of the sibling list
// directly, without looking for its name there: the children of a record, each of its
// own name, are linked without a walk.
void Parser::append(XmlNode *parent, XmlNode *node, uint64_t nameBit)
{
    Level *level = depth_ < LEVELS ? &levels_[depth_] : nullptr;
    if (!parent->child) {
        parent->child = node;
        if (level)
            *level = Level{nameBit, nameBit, node, false};
        return;
    }
    // Offsets never decrease while parsing, so the node goes to the end of its lists,
    // as the general insertion would put it.
    XmlNode *last = lastClosed_;  // the last child, so the last of its name
    last->ordered = node;
    uint64_t lastBit = level ? level->lastBit : nameBit;
    if (level)
        level->lastBit = nameBit;
    if (lastBit == nameBit && sameName(last->name, node->name)) {
        last->next = node;
        return;
    }
    if (level && !(level->names & nameBit)) {
        level->lastName->sibling = node;
        level->lastName = node;
        level->names |= nameBit;
        return;
    }
    XmlNode *first = parent->child, *previous = nullptr;
    while (first && !sameName(first->name, node->name)) {
        previous = first;
        first = first->sibling;
    }
    if (!first) {
        previous->sibling = node;
        if (level) {
            level->lastName = node;
            level->names |= nameBit;
        }
        return;
    }
    XmlNode *second = first->next;
    if (!second) {
        first->next = node;
        return;
    }
    XmlNode *end = second->sibling ? second->sibling : second;
    while (end->next)
        end = end->next;
    end->next = node;
    second->sibling = node;
    if (level)
        level->keptChains = true;
}

void Parser::close()
{
    if (depth_ >= LEVELS || levels_[depth_].keptChains)
        for (XmlNode *first = cur_->child; first; first = first->sibling)
            if (first->next)
                first->next->sibling = nullptr;
    lastClosed_ = cur_;
    curLength_ = cur_->off;
    cur_ = cur_->parent;
    rootOpen_ = cur_ != nullptr;
    --depth_;
}

// Scans the text at `text` to the '<' that ends it or the NUL at the end of text, which
// it returns, and decodes on the way the references to predefined entities, in place:
// the texts of configuration files hold no other. When it meets anything else that
// decoding in mode '&' changes, the rest of the text is left to the general decoder:
// `decoded` is then the length of the part decoded here, which the rest follows, and
// `length` that of the whole. `longer` tells whether a replacement made here was longer
// than its reference ("&#60;" for "&lt;").
char *Parser::scanText(char *text, size_t *length, size_t *decoded, bool *longer)
{
    char *written = nullptr;  // the end of the decoded text, once a reference shortened it
    char *p = text;
    *longer = false;
    for (;;) {
        char *stop = tag.find(p, TEXT_STOP);
        if (written) {
            moveBytes(written, p, static_cast<size_t>(stop - p));
            written += stop - p;
        }
        p = stop;
        char c;
        size_t reference = *p == '&' && entities_.predefined ? predefinedReference(p, &c) : 0;
        if (!reference)
            break;
        if (!written)
            written = p;
        *written++ = c;
        p += reference;
        *longer = *longer || reference == 4;
    }
    char *end = written ? written : p;
    *decoded = static_cast<size_t>(end - text);
    *length = *decoded;
    if (*p == '<' || !*p)
        return p;
    char *rest = p;
    p = textEnd(p + 1);
    if (written)
        memmove(written, rest, static_cast<size_t>(p - rest));
    *length += static_cast<size_t>(p - rest);
    return p;
}

bool Parser::addContent(char *text, size_t length, char mode, size_t decoded, bool longer)
{
    text[length] = '\0';
    if (decoded == length)
        return appendPiece(text, length, longer ? TO_OWN : IN_BUFFER);
    size_t pieceLength;
    char *piece = decode(text, length, entities_, mode, decoded, longer, &pieceLength);
    return appendPiece(piece, pieceLength, piece != text ? ALLOCATED : IN_BUFFER);
}

inline bool Parser::appendPiece(char *piece, size_t length, Piece kind)
{
    if (curLength_ == 0) {
        if (cur_->flags & XML_TEXT_OWNED)
            freeText(cur_);
        cur_->txt = piece;
        curLength_ = length;
        // An allocated piece has textCapacity room, as joined texts do.
        if (kind == ALLOCATED)
            cur_->flags |= XML_TEXT_OWNED;
        if (kind != TO_OWN)
            return true;
        if (!moveText(textCapacity(length)))
            return false;
        cur_->txt[length] = '\0';
        return true;
    }
    size_t joined = curLength_ + length;
    if ((!(cur_->flags & XML_TEXT_OWNED) || joined >= textCapacity(curLength_)) && !moveText(textCapacity(joined))) {
        if (kind == ALLOCATED)
            free(piece);
        return false;
    }
    moveBytes(cur_->txt + curLength_, piece, length);
    cur_->txt[joined] = '\0';
    curLength_ = joined;
    if (kind == ALLOCATED)
        free(piece);
    return true;
}

// Gives cur_ an owned text of `capacity` bytes holding its text so far (curLength_
// bytes). A text of its own grows where it is; others move, to a block text while they
// are short.
bool Parser::moveText(size_t capacity)
{
    uintptr_t &header = headerOf(cur_);
    if ((cur_->flags & XML_TEXT_OWNED) && !(header & TEXT_IN_BLOCK)) {
        char *grown = static_cast<char *>(realloc(cur_->txt, capacity));
        if (!grown)
            return false;
        cur_->txt = grown;
        return true;
    }
    bool inBlock;
    char *text = nodes_.newText(capacity, &inBlock);
    if (!text)
        return false;
    moveBytes(text, cur_->txt, curLength_);
    freeText(cur_);
    cur_->txt = text;
    cur_->flags |= XML_TEXT_OWNED;
    if (inBlock)
        header |= TEXT_IN_BLOCK;
    return true;
}

// The usual piece between children, indentation, is short, needs no decoding and joins
// an owned text that has room for it. Such a piece is appended here without the general
// path's calls: one fixed-size copy, which carries bytes after the piece along, costs
// less than calling memcpy. False for any other piece.
inline bool Parser::appendShort(char *text, size_t length)
{
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
void Parser::finish()
{
    while (cur_)
        close();
}

void Parser::run()
{
    char *p = strchr(doc_->s, '<');
    if (!p) {
        fail(doc_->s + strlen(doc_->s), "root tag missing");
        return;
    }
    for (;;) {
        char d = p[1];
        char *text;
        if (tag.is(d, NAME_START))
            text = startTag(p);
        else if (d == '/')
            text = endTag(p);
        else if (startsWith(p + 1, "!--"))
            text = comment(p);
        else if (startsWith(p + 1, "![CDATA["))
            text = cdata(p);
        else if (startsWith(p + 1, "!DOCTYPE"))
            text = doctype(p);
        else if (d == '?')
            text = procInstr(p);
        else
            text = fail(p, "unexpected <");
        if (!text)
            break;
        // Text outside the root element is dropped.
        size_t length = 0, decoded = 0;
        bool longer = false;
        char *next = rootOpen_ ? scanText(text, &length, &decoded, &longer) : textEnd(text);
        if (!*next) {
            end_ = next;
            break;
        }
        bool added = next == text || !rootOpen_ || (decoded == length && !longer && appendShort(text, length));
        if (!added && !addContent(text, length, '&', decoded, longer)) {
            fail(next, "out of memory");
            break;
        }
        p = next;
    }
    XmlNode *open = cur_;
    if (!failed_ && open && !open->name)
        fail(end_, "root tag missing");
    else if (!failed_ && open)
        fail(end_, "unclosed tag <%s>", open->name);
    finish();
    doc_->cur = open;
}

}  // namespace

void xmlimpl::setError(XmlDocument *doc, const char *p, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    storeError(doc, p, format, args);
    va_end(args);
}

XmlNode *xmlParseString(char *buffer, size_t length)
{
    XmlDocument *doc = newDocument();
    if (!doc)
        return nullptr;
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
static int statusOf(int fd, struct stat *st)
{
    static const char EMPTY_PATH[] = "";
    return fstatat(fd, EMPTY_PATH, st, AT_EMPTY_PATH);
}

// Parses a buffer that one of the readers allocated, which the document then owns.
static XmlNode *parseOwnBuffer(char *buffer, size_t length)
{
    XmlNode *root = xmlParseString(buffer, length);
    if (!root) {
        free(buffer);
        return nullptr;
    }
    reinterpret_cast<XmlDocument *>(root)->len = UINT32_MAX;
    return root;
}

XmlNode *xmlParseFd(int fd)
{
    struct stat st;
    if (fd < 0 || statusOf(fd, &st) != 0)
        return nullptr;
    size_t size = static_cast<size_t>(st.st_size);
    char *buffer = static_cast<char *>(malloc(size ? size : 1));
    if (!buffer)
        return nullptr;
    ssize_t got = read(fd, buffer, size);
    if (got < 0) {
        free(buffer);
        return nullptr;
    }
    return parseOwnBuffer(buffer, static_cast<size_t>(got));
}

XmlNode *xmlParseStream(FILE *stream)
{
    if (!stream)
        return nullptr;
    const size_t CHUNK = 1024;
    char *buffer = static_cast<char *>(malloc(CHUNK));
    if (!buffer)
        return nullptr;
    size_t used = 0;
    for (;;) {
        size_t got = fread(buffer + used, 1, CHUNK, stream);
        used += got;
        if (got < CHUNK)
            break;
        char *grown = static_cast<char *>(realloc(buffer, used + CHUNK));
        if (!grown) {
            free(buffer);
            return nullptr;
        }
        buffer = grown;
    }
    return parseOwnBuffer(buffer, used);
}

XmlNode *xmlParseFile(const char *path)
{
    int fd = open(path, O_RDONLY);
    if (fd < 0)
        return nullptr;
    XmlNode *root = xmlParseFd(fd);
    close(fd);
    return root;
}
