// Decoding of text, attribute and entity values; UTF-16 input to UTF-8.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "xml/xml_internal.h"

namespace {

// Character classes that stop the decoder's scan, one bit per kind.
const unsigned char AMP = 1, PERCENT = 2, SPACE = 4, CR = 8, END = 16;

struct DecodeClasses {
    unsigned char of[256] = {};
    DecodeClasses()
    {
        of[static_cast<unsigned char>('&')] = AMP;
        of[static_cast<unsigned char>('%')] = PERCENT;
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'})
            of[c] = SPACE;
        of[static_cast<unsigned char>('\r')] |= CR;
        of[0] = END;
    }
};
const DecodeClasses classes;

// Writes a code point as the decoder stores it: up to 127 (negative ones included) the
// low byte; above, B significant bits give n = (B - 2) / 5 continuation bytes.
size_t encodeCodePoint(long value, char *out)
{
    if (value <= 127) {
        out[0] = static_cast<char>(value & 0xFF);
        return 1;
    }
    unsigned long v = static_cast<unsigned long>(value);
    auto shifted = [v](int by) { return by < std::numeric_limits<unsigned long>::digits ? v >> by : 0; };
    int bits = 0;
    for (unsigned long rest = v; rest; rest >>= 1)
        ++bits;
    int n = (bits - 2) / 5;
    // Beyond 7 continuation bytes the lead byte has no room for a length: all bits set.
    unsigned long lead = n <= 7 ? 0xFFul << (7 - n) : 0xFFul;
    out[0] = static_cast<char>((lead | shifted(6 * n)) & 0xFF);
    for (int k = n - 1; k >= 0; --k)
        out[n - k] = static_cast<char>(0x80 | (shifted(6 * k) & 0x3F));
    return static_cast<size_t>(n) + 1;
}

// Each CR LF becomes LF and each other CR becomes LF, from the first CR on; returns the
// new length. The bytes freed at the end are cleared.
size_t normalizeLineEnds(char *text, char *firstCr, size_t length)
{
    char *end = text + length;
    char *out = firstCr;
    for (char *in = firstCr; in < end; ++in) {
        if (*in == '\r') {
            *out++ = '\n';
            if (in + 1 < end && in[1] == '\n')
                ++in;
        } else {
            *out++ = *in;
        }
    }
    size_t newLength = static_cast<size_t>(out - text);
    memset(out, 0, length - newLength + 1);
    return newLength;
}

// The string under decoding: output in [0, w), unread text in [r, end] (NUL at end).
// Replacements are copied in front of the unread text, so it stays contiguous; an
// allocated copy keeps its unread text at the end of the allocation with a gap before.
struct Decoding {
    char *base;
    size_t w, r, end;
    bool owned;
    size_t maxLength;  // longest the text may become
};

// Puts a replacement of `count` bytes in place of the `refLength` bytes at r; false when
// the text would become too long.
bool replace(Decoding &d, size_t refLength, const char *replacement, size_t count)
{
    size_t tail = d.end - (d.r + refLength) + 1;  // unread text after the reference, NUL included
    if (count > refLength && d.w + count + tail - 1 > d.maxLength)
        return false;
    if (count > refLength && (!d.owned || d.w + count > d.r + refLength)) {
        // textCapacity leaves room for the following replacements and is what the
        // parser expects of a text it may extend.
        size_t needed = d.w + count + tail;
        size_t capacity = xmlimpl::textCapacity(needed);
        char *grown;
        if (d.owned) {
            grown = static_cast<char *>(realloc(d.base, capacity));
            memmove(grown + capacity - tail, grown + d.r + refLength, tail);
        } else {
            grown = static_cast<char *>(malloc(capacity));
            memcpy(grown, d.base, d.w);
            memcpy(grown + capacity - tail, d.base + d.r + refLength, tail);
        }
        d.base = grown;
        d.owned = true;
        d.end = capacity - 1;
        d.r = capacity - tail - count;
    } else {
        d.r = d.r + refLength - count;
    }
    memcpy(d.base + d.r, replacement, count);
    return true;
}

int digitValue(char c, bool hex)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The number of a character reference, read as strtol reads it; short plain digit runs,
// the usual case, are read directly.
long referenceNumber(char *digits, bool hex, char **stop)
{
    long value = 0;
    char *p = digits;
    for (int digit; p - digits < 7 && (digit = digitValue(*p, hex)) >= 0; ++p)
        value = value * (hex ? 16 : 10) + digit;
    if (p > digits && *p == ';') {
        *stop = p;
        return value;
    }
    return strtol(digits, stop, hex ? 16 : 10);
}

// Character reference at r ("&#" seen); true when one was decoded.
bool characterReference(Decoding &d)
{
    char *digits = d.base + d.r + 2;
    bool hex = *digits == 'x';
    if (hex)
        ++digits;
    char *stop;
    long value = referenceNumber(digits, hex, &stop);
    if (value == 0 || *stop != ';')
        return false;
    char bytes[16];
    size_t count = encodeCodePoint(value, bytes);
    memcpy(d.base + d.w, bytes, count);
    d.w += count;
    d.r = static_cast<size_t>(stop - d.base) + 1;
    return true;
}

// Entity reference at r; true when a table entry matched and was put in place.
bool entityReference(Decoding &d, char **entities)
{
    const char *after = d.base + d.r + 1;
    for (size_t i = 0; entities[i]; i += 2) {
        if (entities[i][0] != after[0])
            continue;
        size_t nameLength = strlen(entities[i]);
        if (strncmp(after, entities[i], nameLength) != 0)
            continue;
        size_t semicolon = 0;  // the reference ends at the first ';' of the name, else with it
        while (semicolon < nameLength && after[semicolon] != ';')
            ++semicolon;
        size_t refLength = semicolon < nameLength ? semicolon + 2 : nameLength + 1;
        return replace(d, refLength, entities[i + 1], strlen(entities[i + 1]));
    }
    return false;
}

// A reference to a predefined entity at r: the character it stands for, written
// directly, as expanding its replacement (a character reference) would write it.
// `longer` tells whether the replacement is longer than the reference ("&lt;" is
// replaced by "&#60;"), which makes the result an allocation.
bool predefinedAt(Decoding &d, bool *longer)
{
    char c;
    size_t refLength = xmlimpl::predefinedReference(d.base + d.r, &c);
    if (!refLength)
        return false;
    *longer = refLength == 4;
    d.base[d.w++] = c;
    d.r += refLength;
    return true;
}

// The end of a decoded text: the bytes it no longer uses are cleared, and a result
// that a longer replacement would not have fitted moves to an allocation.
char *finishText(char *text, size_t produced, size_t length, bool mustAllocate)
{
    memset(text + produced, 0, length - produced + 1);
    if (!mustAllocate)
        return text;
    char *copy = static_cast<char *>(malloc(xmlimpl::textCapacity(produced)));
    memcpy(copy, text, produced + 1);
    return copy;
}

// The number of characters from p up to the first of the given kinds or NUL. Four at
// a time: the runs between references are short, and the loop overhead would otherwise
// cost as much as the tests.
size_t span(const char *p, unsigned char kinds)
{
    kinds |= END;
    const char *q = p;
    for (;; q += 4) {
        if (classes.of[static_cast<unsigned char>(q[0])] & kinds)
            break;
        if (classes.of[static_cast<unsigned char>(q[1])] & kinds)
            return static_cast<size_t>(q + 1 - p);
        if (classes.of[static_cast<unsigned char>(q[2])] & kinds)
            return static_cast<size_t>(q + 2 - p);
        if (classes.of[static_cast<unsigned char>(q[3])] & kinds)
            return static_cast<size_t>(q + 3 - p);
    }
    return static_cast<size_t>(q - p);
}

// How much longer the texts of a document may become by replacements: entities nested
// into each other could otherwise expand exponentially.
size_t growthLimit(const XmlDocument *doc) { return static_cast<size_t>(doc->e - doc->s) + 65536; }

// Mode '*': leading and trailing spaces go, runs of spaces become one.
size_t collapseSpaces(char *text, size_t length)
{
    size_t w = 0;
    for (size_t r = 0; r < length; ++r) {
        if (text[r] == ' ' && (w == 0 || text[w - 1] == ' '))
            continue;
        text[w++] = text[r];
    }
    if (w > 0 && text[w - 1] == ' ')
        --w;
    text[w] = '\0';
    return w;
}

}  // namespace

namespace xmlimpl {

Entities documentEntities(const XmlDocument *doc)
{
    return {doc->ent, startsWithPredefined(doc->ent), growthLimit(doc)};
}

Entities parameterEntities(const XmlDocument *doc, char **table) { return {table, false, growthLimit(doc)}; }

char *decode(char *text, size_t length, const Entities &entities, char mode, size_t plainPrefix, bool longer,
             size_t *resultLength)
{
    unsigned char stops = 0;
    if (mode != 'c')
        stops |= AMP;
    if (mode == '%')
        stops |= PERCENT;
    if (mode == ' ' || mode == '*')
        stops |= SPACE;

    // Most texts hold nothing to decode: one scan finds that out.
    size_t first = plainPrefix + span(text + plainPrefix, stops | CR);
    if (!text[first]) {
        *resultLength = first;
        return longer ? finishText(text, first, first, true) : text;
    }
    size_t cr = first + span(text + first, CR);
    if (cr < length)
        length = normalizeLineEnds(text, text + cr, length);
    *resultLength = length;
    if (mode == 'c')
        return text;

    char entityMark = mode == '%' ? '%' : '&';
    static char *noEntities[1] = {nullptr};
    char **table = entities.table ? entities.table : noEntities;
    bool predefined = entityMark == '&' && entities.predefined;
    bool mustAllocate = longer;

    size_t maxLength = length + std::min(entities.growthLimit, SIZE_MAX - length);
    Decoding d{text, first, first, length, false, maxLength};
    bool wroteNul = false, longerHere;
    size_t firstNul = 0;
    for (;;) {
        // Ordinary characters; while nothing has moved they are already in place.
        size_t run = span(d.base + d.r, stops);
        if (d.w != d.r)
            memmove(d.base + d.w, d.base + d.r, run);
        d.w += run;
        d.r += run;
        char c = d.base[d.r];
        if (!c)
            break;
        if (c == '&' && d.base[d.r + 1] == '#') {
            size_t at = d.w;
            if (characterReference(d)) {
                // Only a one-byte reference can write a NUL, which then ends the string.
                if (!wroteNul && d.w == at + 1 && d.base[at] == '\0') {
                    wroteNul = true;
                    firstNul = at;
                }
                continue;
            }
        } else if (c == '&' && predefined && predefinedAt(d, &longerHere)) {
            mustAllocate = mustAllocate || longerHere;
            continue;
        } else if (c == entityMark && entityReference(d, table)) {
            continue;
        } else if (classes.of[static_cast<unsigned char>(c)] & SPACE) {
            c = ' ';
        }
        d.base[d.w++] = c;
        ++d.r;
    }

    size_t produced = d.w;
    if (d.owned)
        d.base[produced] = '\0';
    else
        d.base = finishText(d.base, produced, length, mustAllocate);
    if (wroteNul)
        produced = firstNul;
    if (mode == '*')
        produced = collapseSpaces(d.base, produced);
    *resultLength = produced;
    return d.base;
}

char *fromUtf16(const char *input, size_t length, size_t *resultLength)
{
    const unsigned char *in = reinterpret_cast<const unsigned char *>(input);
    bool bigEndian = in[0] == 0xFE;
    size_t capacity = length;
    char *out = static_cast<char *>(malloc(capacity));
    size_t used = 0;
    auto unitAt = [&](size_t i) -> long { return bigEndian ? (in[i] << 8 | in[i + 1]) : (in[i + 1] << 8 | in[i]); };
    for (size_t i = 2; i + 1 < length;) {
        long point = unitAt(i);
        i += 2;
        if (point >= 0xD800 && point <= 0xDFFF && i + 1 < length) {
            point = (((point & 0x3FF) << 10) | (unitAt(i) & 0x3FF)) + 0x10000;
            i += 2;
        }
        if (capacity - used < 6) {
            while (capacity - used < 6)
                capacity += 1024;
            out = static_cast<char *>(realloc(out, capacity));
        }
        used += encodeCodePoint(point, out + used);
    }
    // Never shrink to 0 bytes: that would free the copy.
    out = static_cast<char *>(realloc(out, used ? used : 1));
    *resultLength = used;
    return out;
}

}  // namespace xmlimpl

char *xmlDecode(char *text, char **entities, char mode)
{
    if (!text)
        return nullptr;
    size_t length;
    xmlimpl::Entities table{entities, entities && xmlimpl::startsWithPredefined(entities), SIZE_MAX};
    return xmlimpl::decode(text, strlen(text), table, mode, 0, false, &length);
}
