#include <libxml/parser.h>
#include <libxml/tree.h>

#include "xml_bench_parsers.h"

namespace {

void *parse(char *text, size_t size)
{
    return xmlReadMemory(text, static_cast<int>(size), nullptr, nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
}

size_t write(void *document)
{
    xmlChar *text = nullptr;
    int size = 0;
    xmlDocDumpMemory(static_cast<xmlDocPtr>(document), &text, &size);
    xmlFree(text);
    return static_cast<size_t>(size);
}

void release(void *document) { xmlFreeDoc(static_cast<xmlDocPtr>(document)); }

}  // namespace

const BenchParser libxml2Parser = {"libxml2", parse, write, release};
