#include <pugixml.hpp>

#include <sstream>

#include "xml_bench_parsers.h"

namespace {

// Parses in place, as our library does.
void *parse(char *text, size_t size)
{
    auto *doc = new pugi::xml_document;
    doc->load_buffer_inplace(text, size);
    return doc;
}

struct CountingWriter : pugi::xml_writer {
    std::string out;
    void write(const void *data, size_t size) override { out.append(static_cast<const char *>(data), size); }
};

size_t write(void *document)
{
    CountingWriter writer;
    static_cast<pugi::xml_document *>(document)->save(writer, "", pugi::format_raw);
    return writer.out.size();
}

void release(void *document) { delete static_cast<pugi::xml_document *>(document); }

}  // namespace

const BenchParser pugixmlParser = {"pugixml", parse, write, release};
