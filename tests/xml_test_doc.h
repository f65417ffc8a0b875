// Test helper: a document parsed from a text the helper keeps alive, freed at scope end.
#ifndef ONU_TESTS_XML_TEST_DOC_H
#define ONU_TESTS_XML_TEST_DOC_H

#include <cstdlib>
#include <memory>
#include <string>

#include "xml/xml.h"

struct ParsedXml {
    explicit ParsedXml(std::string text) : buffer(std::move(text)) {
        root = xmlParseString(buffer.data(), buffer.size());
    }
    ~ParsedXml() { xmlFree(root); }
    ParsedXml(const ParsedXml &) = delete;
    ParsedXml &operator=(const ParsedXml &) = delete;

    std::string error() const { return xmlError(root); }
    std::string written() const { return textOf(root); }
    static std::string textOf(XmlNode *node) {
        std::unique_ptr<char, decltype(&free)> text(xmlToText(node), free);
        return text.get();
    }

    std::string buffer;
    XmlNode *root;
};

#endif
