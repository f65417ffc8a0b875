#include <expat.h>

#include "xml_bench_parsers.h"

namespace {

// Expat builds no tree: it reports elements and text to handlers, which here only count
// what they are given, the least a program that reads a document does.
struct Counts {
    size_t elements = 0;
    size_t textBytes = 0;
};

void XMLCALL startElement(void *data, const XML_Char *, const XML_Char **) { ++static_cast<Counts *>(data)->elements; }
void XMLCALL endElement(void *, const XML_Char *) {}
void XMLCALL characters(void *data, const XML_Char *, int length)
{
    static_cast<Counts *>(data)->textBytes += static_cast<size_t>(length);
}

struct Parsed {
    XML_Parser parser;
    Counts counts;
};

void *parse(char *text, size_t size)
{
    auto *parsed = new Parsed{XML_ParserCreate(nullptr), {}};
    XML_SetUserData(parsed->parser, &parsed->counts);
    XML_SetElementHandler(parsed->parser, startElement, endElement);
    XML_SetCharacterDataHandler(parsed->parser, characters);
    XML_Parse(parsed->parser, text, static_cast<int>(size), 1);
    return parsed;
}

void release(void *document)
{
    auto *parsed = static_cast<Parsed *>(document);
    XML_ParserFree(parsed->parser);
    delete parsed;
}

}  // namespace

// No writer: expat only reads.
const BenchParser expatParser = {"expat", parse, nullptr, release};
