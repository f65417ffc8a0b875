// Documents generated in memory for the XML benchmark.
#ifndef ONU_BENCH_XML_BENCH_DOCUMENTS_H
#define ONU_BENCH_XML_BENCH_DOCUMENTS_H

#include <cstddef>
#include <string>

// A device configuration: declaration, comments, indentation, attributes and entity
// references, grown to about `size` bytes.
std::string configDocument(size_t size);
// Elements with many attributes each.
std::string attributeDocument(size_t size);
// Elements with long character content.
std::string textDocument(size_t size);
// One element with `count` children separated by text.
std::string wideDocument(size_t count);

#endif
