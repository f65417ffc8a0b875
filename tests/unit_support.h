// What the unit tests share, with the headers they all use: temporary files,
// a file size limit, whole-file reads, parsed XML documents and their lists.
// The end-to-end tests build on it.
#ifndef ONU_TESTS_UNIT_SUPPORT_H
#define ONU_TESTS_UNIT_SUPPORT_H

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "xml/xml.h"

// Whole file; a missing file reads as "".
inline std::string readFile(const std::string &file)
{
    std::ostringstream content;
    content << std::ifstream(file, std::ios::binary).rdbuf();
    return content.str();
}

// A modification time no write during a test can produce.
const time_t OLD_TIME = 1000000000;

// A temporary folder under TMPDIR (which the simulated unit keeps apart from
// its /tmp), removed with everything in it. Its files are dated OLD_TIME, so
// that any rewrite shows.
class TempFolder {
public:
    TempFolder() : path((std::filesystem::temp_directory_path() / "onu_config_XXXXXX").string()) { mkdtemp(&path[0]); }
    ~TempFolder() { std::filesystem::remove_all(path); }

    std::string write(const std::string &name, const std::string &content) const
    {
        std::string file = path + "/" + name;
        std::ofstream(file, std::ios::binary) << content;
        const timespec times[2] = {{OLD_TIME, 0}, {OLD_TIME, 0}};
        utimensat(AT_FDCWD, file.c_str(), times, 0);
        return file;
    }

    std::string path;
};

inline bool untouched(const std::string &file)
{
    struct stat status;
    return stat(file.c_str(), &status) == 0 && status.st_mtim.tv_sec == OLD_TIME;
}

// While it lives, files of this process cannot grow past `limit` bytes: a
// write beyond fails (EFBIG) as one on a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) : previousHandler(std::signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &previous);
        const rlimit lower = {limit, previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    void (*previousHandler)(int);
    rlimit previous;
};

// A document parsed from a text it keeps alive, freed at scope end.
struct ParsedXml {
    explicit ParsedXml(std::string text) : buffer(std::move(text))
    {
        root = xmlParseString(buffer.data(), buffer.size());
    }
    ~ParsedXml() { xmlFree(root); }
    ParsedXml(const ParsedXml &) = delete;
    ParsedXml &operator=(const ParsedXml &) = delete;

    std::string error() const { return xmlError(root); }
    std::string written() const { return textOf(root); }
    static std::string textOf(XmlNode *node)
    {
        return std::unique_ptr<char, decltype(&free)>(xmlToText(node), free).get();
    }

    std::string buffer;
    XmlNode *root;
};

// An element's three child lists: the first of each name in the order of the
// sibling list, each with its same-name chain (which xmlChild and xmlIndex
// follow) as places in document order (the ordered list): "a0,2 b1" for
// <a/><b/><a/>.
inline std::string childLists(XmlNode *parent)
{
    std::vector<XmlNode *> order;
    for (XmlNode *n = parent->child; n; n = n->ordered)
        order.push_back(n);
    std::string lists;
    for (XmlNode *first = parent->child; first; first = first->sibling) {
        EXPECT_EQ(xmlChild(parent, first->name), first);
        lists += std::string(lists.empty() ? "" : " ") + first->name;
        for (XmlNode *n = first; n; n = n->next)
            lists += (n == first ? "" : ",") + std::to_string(std::find(order.begin(), order.end(), n) - order.begin());
    }
    return lists;
}

#endif
