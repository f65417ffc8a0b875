// Temporary configuration files for the store tests.
#ifndef ONU_TESTS_CONFIG_TEST_FILES_H
#define ONU_TESTS_CONFIG_TEST_FILES_H

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A modification time no write during a test can produce.
const time_t OLD_TIME = 1000000000;

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

inline std::string readFile(const std::string &file)
{
    std::ostringstream content;
    content << std::ifstream(file, std::ios::binary).rdbuf();
    return content.str();
}

// True when the file still carries the date that TempFolder::write gave it.
inline bool untouched(const std::string &file)
{
    struct stat status;
    return stat(file.c_str(), &status) == 0 && status.st_mtim.tv_sec == OLD_TIME;
}

inline bool contains(const std::string &file, const std::string &piece)
{
    return readFile(file).find(piece) != std::string::npos;
}

#endif
