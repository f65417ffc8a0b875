#include <tinyxml2.h>

#include "xml_bench_parsers.h"

namespace {

void *parse(char *text, size_t size)
{
    auto *doc = new tinyxml2::XMLDocument;
    doc->Parse(text, size);
    return doc;
}

size_t write(void *document)
{
    tinyxml2::XMLPrinter printer(nullptr, true);
    static_cast<tinyxml2::XMLDocument *>(document)->Print(&printer);
    return static_cast<size_t>(printer.CStrSize());
}

void release(void *document) { delete static_cast<tinyxml2::XMLDocument *>(document); }

}  // namespace

const BenchParser tinyxml2Parser = {"tinyxml2", parse, write, release};
