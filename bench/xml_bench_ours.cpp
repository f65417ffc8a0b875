#include <cstdlib>
#include <cstring>

#include "xml/xml.h"
#include "xml_bench_parsers.h"

namespace {

void *parse(char *text, size_t size) { return xmlParseString(text, size); }

size_t write(void *document)
{
    char *text = xmlToText(static_cast<XmlNode *>(document));
    size_t size = strlen(text);
    free(text);
    return size;
}

void release(void *document) { xmlFree(static_cast<XmlNode *>(document)); }

}  // namespace

const BenchParser oursParser = {"ours", parse, write, release};
