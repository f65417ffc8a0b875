// Parses arbitrary bytes, writes the tree back, parses what was written, frees both.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "xml/xml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<char> buffer(data, data + size);  // the parser writes into its input
    XmlNode *first = xmlParseString(buffer.data(), buffer.size());
    char *written = xmlToText(first);
    XmlNode *second = xmlParseString(written, strlen(written));
    char *rewritten = xmlToText(second);
    free(rewritten);
    xmlFree(second);
    free(written);
    xmlFree(first);
    return 0;
}
