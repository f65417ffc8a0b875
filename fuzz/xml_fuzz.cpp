// Parses arbitrary bytes, writes the tree back, parses what was written, then cuts some
// elements of the first tree and frees them and both documents, the cut elements before
// or after their document as the input chooses.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "xml/xml.h"

namespace {

// The elements below the root in document order.
std::vector<XmlNode *> elements(XmlNode *root)
{
    std::vector<XmlNode *> out;
    std::vector<XmlNode *> pending;
    if (root->child)
        pending.push_back(root->child);
    while (!pending.empty()) {
        XmlNode *node = pending.back();
        pending.pop_back();
        out.push_back(node);
        if (node->ordered)
            pending.push_back(node->ordered);
        if (node->child)
            pending.push_back(node->child);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<char> buffer(data, data + size);  // the parser writes into its input
    XmlNode *first = xmlParseString(buffer.data(), buffer.size());
    char *written = xmlToText(first);
    XmlNode *second = xmlParseString(written, strlen(written));
    char *rewritten = xmlToText(second);
    free(rewritten);
    xmlFree(second);
    free(written);

    size_t stride = size % 5 + 1;
    bool documentFirst = size % 2;
    std::vector<XmlNode *> all = elements(first), cut;
    for (size_t i = 0; i < all.size(); i += stride)
        cut.push_back(xmlCut(all[i]));
    if (documentFirst)
        xmlFree(first);
    for (XmlNode *node : cut)
        xmlFree(node);
    if (!documentFirst)
        xmlFree(first);
    return 0;
}
