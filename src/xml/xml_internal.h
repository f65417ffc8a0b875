// Internals shared by the XML library's source files; not part of its interface.
#ifndef ONU_XML_XML_INTERNAL_H
#define ONU_XML_XML_INTERNAL_H

#include <sanitizer/asan_interface.h>

#include <cstdint>
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
inline char *findText(char *p, const char *needle)
{
    const size_t rest = strlen(needle + 1);
    while ((p = strchr(p, needle[0])) && strncmp(p + 1, needle + 1, rest) != 0)
        ++p;
    return p;
}

// Node records and the texts the parser allocates for them. Each record is preceded by
// a header word: the block the record was taken from, or none for a record allocated
// alone, and in its low bit whether the node's text is a block text (below). The
// document record has such a word too, always none, so every node has one.
//
// The parser takes its records from blocks; a block is freed with the last of its
// records, whichever document that record then belongs to, so a node cut from its
// document and freed alone gives its room back too. A record taken for a parsed element
// holds that element's attribute list (slots, then marks) right after the node; any
// other record keeps spare room at that place, so no separately allocated list can
// start there.
//
// The texts the parser joins or decodes into an allocation are taken from its blocks as
// well, but for long ones: a block text is preceded by a word naming its block, and it
// is freed, like a record, by giving that block back its hold.
struct NodeBlock {
    size_t holds;  // records and texts not yet freed, and one while a parser takes from it
};

const uintptr_t TEXT_IN_BLOCK = 1;

inline uintptr_t &headerOf(XmlNode *node) { return reinterpret_cast<uintptr_t *>(node)[-1]; }

// Bytes of a record (header word, node, attribute list of that many pairs), a multiple
// of the word size.
inline size_t recordBytes(size_t attributePairs)
{
    size_t attributeBytes =
        attributePairs ? (2 * attributePairs + 2) * sizeof(char *) + attributePairs + 1 : sizeof(char *);
    size_t bytes = sizeof(uintptr_t) + sizeof(XmlNode) + attributeBytes;
    return (bytes + sizeof(uintptr_t) - 1) / sizeof(uintptr_t) * sizeof(uintptr_t);
}

// Fills a record at `memory`: a node with that name, no links, the shared empty text and,
// with attribute pairs, an attribute list in the record whose terminator and marks slots
// are set.
inline XmlNode *initRecord(void *memory, NodeBlock *block, char *name, size_t attributePairs)
{
    *static_cast<uintptr_t *>(memory) = reinterpret_cast<uintptr_t>(block);
    XmlNode *node = reinterpret_cast<XmlNode *>(static_cast<uintptr_t *>(memory) + 1);
    *node = XmlNode{name, emptyList, emptyText, 0, nullptr, nullptr, nullptr, nullptr, nullptr, 0};
    if (attributePairs) {
        node->attr = reinterpret_cast<char **>(node + 1);
        char *marks = reinterpret_cast<char *>(node->attr + 2 * attributePairs + 2);
        node->attr[2 * attributePairs] = nullptr;
        node->attr[2 * attributePairs + 1] = marks;
    }
    return node;
}

// A record allocated alone; none when memory ran out.
XmlNode *newNode(char *name, size_t attributePairs);
// Frees a node record (not what the node owns).
void freeNodeRecord(XmlNode *node);
// Frees the node's text when the node owns it, and clears XML_TEXT_OWNED.
void freeText(XmlNode *node);

// The blocks a parser takes its records and texts from, each larger than the one before
// up to a limit. Holds the current block until destroyed. Under the address sanitizer,
// the room not yet taken and what was freed are poisoned, so stray accesses are found
// as they are in allocations of their own.
class NodeBlocks {
public:
    static const size_t FIRST_BLOCK = 4096;

    NodeBlocks() = default;
    NodeBlocks(const NodeBlocks &) = delete;
    NodeBlocks &operator=(const NodeBlocks &) = delete;
    ~NodeBlocks();

    // A record as newNode makes it, taken from the current block; none when memory ran out.
    XmlNode *take(char *name, size_t attributePairs)
    {
        size_t bytes = recordBytes(attributePairs);
        char *record = room(bytes);
        if (!record)
            return newNode(name, attributePairs);
        return initRecord(record, block_, name, attributePairs);
    }
    // A text of `capacity` bytes for a node: a block text (`inBlock` set) or an
    // allocation of its own; none when memory ran out.
    char *newText(size_t capacity, bool *inBlock);
    // Where the attribute slots of the record taken next start, when that is the
    // current block, and how many pairs fit there (`pairs`); none when not one does.
    char **attributeRoom(size_t *pairs)
    {
        // A record takes at most this and a pair's slots and mark for each pair.
        const size_t fixed = sizeof(uintptr_t) + sizeof(XmlNode) + 2 * sizeof(char *) + 1 + sizeof(uintptr_t) - 1;
        const size_t perPair = 2 * sizeof(char *) + 1;
        size_t room = static_cast<size_t>(end_ - top_);
        if (room < fixed + perPair)
            return nullptr;
        *pairs = (room - fixed) / perPair;
        return reinterpret_cast<char **>(top_ + sizeof(uintptr_t) + sizeof(XmlNode));
    }

private:
    // `bytes` taken from the current block or a new one, with a hold on that block;
    // none when they are better allocated alone or memory ran out.
    char *room(size_t bytes)
    {
        if (static_cast<size_t>(end_ - top_) < bytes && !refill(bytes))
            return nullptr;
        char *taken = top_;
        top_ += bytes;
        ASAN_UNPOISON_MEMORY_REGION(taken, bytes);
        ++block_->holds;
        return taken;
    }
    bool refill(size_t bytes);

    NodeBlock *block_ = nullptr;
    char *top_ = nullptr;  // free room of the current block: [top_, end_)
    char *end_ = nullptr;
    size_t nextSize_ = FIRST_BLOCK;
};

inline bool attributesInRecord(const XmlNode *node) { return node->attr == reinterpret_cast<char *const *>(node + 1); }

// Moves `length` bytes to a place before them or elsewhere, as memmove does. Most runs
// the library moves are short, and calling memmove costs more than moving them: two
// fixed-size pieces, both read before either is written, cover any length from their
// size to twice it.
template <size_t PIECE> inline void movePieces(char *to, const char *from, size_t length)
{
    char head[PIECE], tail[PIECE];
    memcpy(head, from, PIECE);
    memcpy(tail, from + length - PIECE, PIECE);
    memcpy(to, head, PIECE);
    memcpy(to + length - PIECE, tail, PIECE);
}
inline void moveBytes(char *to, const char *from, size_t length)
{
    if (length < 4)
        for (size_t i = 0; i < length; ++i)
            to[i] = from[i];
    else if (length < 8)
        movePieces<4>(to, from, length);
    else if (length < 16)
        movePieces<8>(to, from, length);
    else if (length <= 32)
        movePieces<16>(to, from, length);
    else
        memmove(to, from, length);
}

// Whether an entity table starts with the predefined entities, as a document's does.
bool startsWithPredefined(char **entities);

// A document as after step 1 of a parse: no root name, empty text and tables; none when
// memory ran out.
XmlDocument *newDocument();
// The document a node belongs to: the top of its parent chain.
XmlDocument *documentOf(XmlNode *node);
bool inWorkArea(const XmlDocument *doc, const char *p);

// Capacity the library gives a text it allocates and may extend: a power of two above
// the length, so that appending pieces stays linear.
inline size_t textCapacity(size_t length)
{
    if (length < 64)
        return 64;
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
inline size_t predefinedReference(const char *p, char *c)
{
    const char *a = p + 1;
    if (*p != '&')
        return 0;
    if (a[0] == 'l' && a[1] == 't' && a[2] == ';')
        return *c = '<', 4;
    if (a[0] == 'g' && a[1] == 't' && a[2] == ';')
        return *c = '>', 4;
    if (a[0] == 'a' && a[1] == 'm' && a[2] == 'p' && a[3] == ';')
        return *c = '&', 5;
    if (a[0] == 'q' && a[1] == 'u' && a[2] == 'o' && a[3] == 't' && a[4] == ';')
        return *c = '"', 6;
    if (a[0] == 'a' && a[1] == 'p' && a[2] == 'o' && a[3] == 's' && a[4] == ';')
        return *c = '\'', 6;
    return 0;
}

// Decodes text[0..length) (text[length] is NUL) in place in the given mode; returns the
// result, a new allocation (of textCapacity bytes) when a replacement did not fit, and
// its string length. A replacement that would make the text grow by more than the
// growth limit is not made: the reference stays as written. The caller may have decoded
// the first `plainPrefix` bytes already, `longer` telling whether a replacement it made
// there was longer than its reference, which makes the result an allocation.
char *decode(char *text, size_t length, const Entities &entities, char mode, size_t plainPrefix, bool longer,
             size_t *resultLength);
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
