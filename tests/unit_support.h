// Helpers of the unit tests: temporary configuration files, a file size limit,
// whole-file reads and parsed XML documents. The end-to-end tests read files
// with the same readFile.
#ifndef ONU_TESTS_UNIT_SUPPORT_H
#define ONU_TESTS_UNIT_SUPPORT_H

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "xml/xml.h"

// A modification time no write during a test can produce.
const time_t OLD_TIME = 1000000000;

// Whole file; a missing file reads as "".
inline std::string readFile(const std::string &file)
{
    std::ostringstream content;
    content << std::ifstream(file, std::ios::binary).rdbuf();
    return content.str();
}

// A temporary folder under TMPDIR (which the simulated unit keeps apart from
// its /tmp), removed with everything in it after the test.
class TempFolder {
public:
    TempFolder() : path((std::filesystem::temp_directory_path() / "onu_config_XXXXXX").string()) { mkdtemp(&path[0]); }
    ~TempFolder() { std::filesystem::remove_all(path); }

    // Writes the file `name` and dates it far in the past, so that any
    // rewrite shows in its modification time.
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

// True when the file still carries the date that TempFolder::write gave it.
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

// A document parsed from a text the helper keeps alive, freed at scope end.
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
        std::unique_ptr<char, decltype(&free)> text(xmlToText(node), free);
        return text.get();
    }

    std::string buffer;
    XmlNode *root;
};

#endif
