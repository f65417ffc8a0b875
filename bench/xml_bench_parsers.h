// The libraries under comparison, each behind the same three calls and implemented
// in its own translation unit.
#ifndef ONU_BENCH_XML_BENCH_PARSERS_H
#define ONU_BENCH_XML_BENCH_PARSERS_H

#include <cstddef>

struct BenchParser {
    const char *name;
    // Parses a writable copy of the document; returns the library's document.
    void *(*parse)(char *text, size_t size);
    // Writes the document back to text in memory; returns the size written. None for
    // a library that only reads.
    size_t (*write)(void *document);
    void (*release)(void *document);
};

extern const BenchParser oursParser;
extern const BenchParser pugixmlParser;
extern const BenchParser tinyxml2Parser;
extern const BenchParser libxml2Parser;
extern const BenchParser expatParser;

#endif
