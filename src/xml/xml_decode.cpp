// Decoding of text, attribute and entity values; UTF-16 input to UTF-8.
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "xml/xml_internal.h"

namespace {

// Character classes that stop the decoder's scan, one bit per kind.
const unsigned char AMP = 1, PERCENT = 2, SPACE = 4, CR = 8, END = 16;

struct DecodeClasses {
    unsigned char of[256] = {};
    DecodeClasses() {
        of[static_cast<unsigned char>('&')] = AMP;
        of[static_cast<unsigned char>('%')] = PERCENT;
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) of[c] = SPACE;
        of[static_cast<unsigned char>('\r')] |= CR;
        of[0] = END;
    }
};
const DecodeClasses classes;

// Writes a code point as the decoder stores it: up to 127 (negative ones included) the
// low byte; above, B significant bits give n = (B - 2) / 5 continuation bytes.
size_t encodeCodePoint(long value, char *out) {
    if (value <= 127) {
        out[0] = static_cast<char>(value & 0xFF);
        return 1;
    }
    unsigned long v = static_cast<unsigned long>(value);
    int bits = 0;
    for (unsigned long rest = v; rest; rest >>= 1) ++bits;
    int n = (bits - 2) / 5;
    // Beyond 7 continuation bytes the lead byte has no room for a length: all bits set.
    unsigned long lead = n <= 7 ? 0xFFul << (7 - n) : 0xFFul;
    unsigned long top = 6 * n < 64 ? v >> (6 * n) : 0;
    out[0] = static_cast<char>((lead | top) & 0xFF);
    for (int k = n - 1; k >= 0; --k)
        out[n - k] = static_cast<char>(0x80 | ((6 * k < 64 ? v >> (6 * k) : 0) & 0x3F));
    return static_cast<size_t>(n) + 1;
}

// Each CR LF becomes LF and each other CR becomes LF, from the first CR on; returns the
// new length. The bytes freed at the end are cleared.
size_t normalizeLineEnds(char *text, char *firstCr, size_t length) {
    char *end = text + length;
    char *out = firstCr;
    for (char *in = firstCr; in < end; ++in) {
        if (*in == '\r') {
            *out++ = '\n';
            if (in + 1 < end && in[1] == '\n') ++in;
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
    size_t capacity;  // of base when owned
    bool owned;
};

// Puts a replacement of `count` bytes in place of the `refLength` bytes at r.
void replace(Decoding &d, size_t refLength, const char *replacement, size_t count) {
    size_t tail = d.end - (d.r + refLength) + 1;  // unread text after the reference, NUL included
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
        d.capacity = capacity;
        d.end = capacity - 1;
        d.r = capacity - tail - count;
    } else {
        d.r = d.r + refLength - count;
    }
    memcpy(d.base + d.r, replacement, count);
}

int digitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The number of a character reference, read as strtol reads it; short plain digit runs,
// the usual case, are read directly.
long referenceNumber(char *digits, bool hex, char **stop) {
    long value = 0;
    char *p = digits;
    for (int digit; p - digits < 7 && (digit = digitValue(*p, hex)) >= 0; ++p) value = value * (hex ? 16 : 10) + digit;
    if (p > digits && *p == ';') {
        *stop = p;
        return value;
    }
    return strtol(digits, stop, hex ? 16 : 10);
}

// Character reference at r ("&#" seen); true when one was decoded.
bool characterReference(Decoding &d) {
    char *digits = d.base + d.r + 2;
    bool hex = *digits == 'x';
    if (hex) ++digits;
    char *stop;
    long value = referenceNumber(digits, hex, &stop);
    if (value == 0 || *stop != ';') return false;
    char bytes[16];
    size_t count = encodeCodePoint(value, bytes);
    memcpy(d.base + d.w, bytes, count);
    d.w += count;
    d.r = static_cast<size_t>(stop - d.base) + 1;
    return true;
}

// Entity reference at r; true when a table entry matched and was put in place.
bool entityReference(Decoding &d, char **entities) {
    const char *after = d.base + d.r + 1;
    for (size_t i = 0; entities[i]; i += 2) {
        if (entities[i][0] != after[0]) continue;
        size_t nameLength = strlen(entities[i]);
        if (strncmp(after, entities[i], nameLength) != 0) continue;
        const char *semicolon = static_cast<const char *>(memchr(after, ';', nameLength));
        size_t refLength = semicolon ? static_cast<size_t>(semicolon - after) + 2 : nameLength + 1;
        replace(d, refLength, entities[i + 1], strlen(entities[i + 1]));
        return true;
    }
    return false;
}

// Mode '*': leading and trailing spaces go, runs of spaces become one.
size_t collapseSpaces(char *text, size_t length) {
    size_t w = 0;
    for (size_t r = 0; r < length; ++r) {
        if (text[r] == ' ' && (w == 0 || text[w - 1] == ' ')) continue;
        text[w++] = text[r];
    }
    if (w > 0 && text[w - 1] == ' ') --w;
    text[w] = '\0';
    return w;
}

}  // namespace

namespace xmlimpl {

size_t textCapacity(size_t length) {
    if (length < 64) return 64;
    return size_t{1} << (64 - __builtin_clzll(static_cast<unsigned long long>(length)));
}

char *decode(char *text, size_t length, char **entities, char mode, size_t *resultLength) {
    unsigned char stops = 0;
    if (mode != 'c') stops |= AMP;
    if (mode == '%') stops |= PERCENT;
    if (mode == ' ' || mode == '*') stops |= SPACE;

    // Most texts hold nothing to decode: one scan finds that out.
    size_t first = 0;
    while (!(classes.of[static_cast<unsigned char>(text[first])] & (stops | CR | END))) ++first;
    if (!text[first]) {
        *resultLength = first;
        return text;
    }
    if (char *cr = static_cast<char *>(memchr(text + first, '\r', length - first)))
        length = normalizeLineEnds(text, cr, length);
    *resultLength = length;
    if (mode == 'c') return text;

    char entityMark = mode == '%' ? '%' : '&';
    static char *noEntities[1] = {nullptr};
    if (!entities) entities = noEntities;

    Decoding d{text, first, first, length, 0, false};
    bool wroteNul = false;
    size_t firstNul = 0;
    for (;;) {
        // Ordinary characters; while nothing has moved they are already in place.
        if (d.w == d.r) {
            while (!(classes.of[static_cast<unsigned char>(d.base[d.r])] & stops) && d.base[d.r]) ++d.r;
            d.w = d.r;
        } else {
            while (!(classes.of[static_cast<unsigned char>(d.base[d.r])] & stops) && d.base[d.r])
                d.base[d.w++] = d.base[d.r++];
        }
        char c = d.base[d.r];
        if (!c) break;
        if (c == '&' && d.base[d.r + 1] == '#') {
            size_t at = d.w;
            if (characterReference(d)) {
                if (!wroteNul && memchr(d.base + at, '\0', d.w - at)) {
                    wroteNul = true;
                    firstNul = at;
                }
                continue;
            }
        } else if (c == entityMark && entityReference(d, entities)) {
            continue;
        } else if (classes.of[static_cast<unsigned char>(c)] & SPACE) {
            c = ' ';
        }
        d.base[d.w++] = c;
        ++d.r;
    }

    size_t produced = d.w;
    if (!d.owned && produced < length) {
        memset(d.base + produced, 0, length - produced);
    }
    d.base[produced] = '\0';
    if (wroteNul) produced = firstNul;
    if (mode == '*') produced = collapseSpaces(d.base, produced);
    *resultLength = produced;
    return d.base;
}

char *fromUtf16(const char *input, size_t length, size_t *resultLength) {
    const unsigned char *in = reinterpret_cast<const unsigned char *>(input);
    bool bigEndian = in[0] == 0xFE;
    size_t capacity = length;
    char *out = static_cast<char *>(malloc(capacity));
    size_t used = 0;
    auto unitAt = [&](size_t i) -> long {
        return bigEndian ? (in[i] << 8 | in[i + 1]) : (in[i + 1] << 8 | in[i]);
    };
    for (size_t i = 2; i + 1 < length;) {
        long point = unitAt(i);
        i += 2;
        if (point >= 0xD800 && point <= 0xDFFF && i + 1 < length) {
            point = (((point & 0x3FF) << 10) | (unitAt(i) & 0x3FF)) + 0x10000;
            i += 2;
        }
        if (capacity - used < 6) {
            while (capacity - used < 6) capacity += 1024;
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

char *xmlDecode(char *text, char **entities, char mode) {
    if (!text) return nullptr;
    size_t length;
    return xmlimpl::decode(text, strlen(text), entities, mode, &length);
}
