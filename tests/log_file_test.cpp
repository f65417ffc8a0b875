#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>

#include "log/log.h"
#include "unit_support.h"

namespace {

// Lines are appended after a stamp; an empty message writes nothing; a log
// that cannot be opened drops the line.
TEST(LogFile, WritesStampedLines)
{
    const std::string path = testing::TempDir() + "log_file_lines.log";
    std::ofstream(path) << "old\n";
    LogFile(path).writeLine("hello");
    LogFile(path).writeLine("");
    const std::string text = readFile(path);
    ASSERT_EQ(text.size(), 4u + 21 + 6);
    EXPECT_EQ(text.substr(0, 4), "old\n");
    EXPECT_TRUE(std::regex_match(text.substr(4, 21), std::regex(R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\])"))) << text;
    EXPECT_EQ(text.substr(25), "hello\n");
    std::remove(path.c_str());
    LogFile(testing::TempDir() + "missing/dir.log").writeLine("dropped");
}

// A 21-character stamp and a 10-character message count 31 bytes against
// the limit; the line feed does not count.
TEST(LogFile, CutKeepsNewestBytes)
{
    const std::string path = testing::TempDir() + "log_file_cut.log";
    const std::size_t limit = LogFile::SIZE_LIMIT, line = 31;
    const std::size_t sizes[][2] = {
        // size before, bytes kept
        {0, 0},
        {limit - line, limit - line},
        {limit - line + 1, limit - line},
        {2097140, 2097121},
        {limit + 500, limit - line},
    };
    for (const auto &[size, kept] : sizes) {
        std::string old(size, 'x');
        for (std::size_t i = 0; i < size; i += 1000)
            old[i] = static_cast<char>('a' + i / 1000 % 26);
        std::ofstream(path, std::ios::binary) << old;
        LogFile log(path);
        log.writeLine("0123456789");
        std::string text = readFile(path);
        ASSERT_EQ(text.size(), kept + line + 1) << size;
        EXPECT_EQ(text.compare(0, kept, old, size - kept, kept), 0) << size;
        EXPECT_EQ(text.substr(kept + 21), "0123456789\n");

        // The reopened file keeps taking lines at its end.
        log.writeLine("abcdefghij");
        text = readFile(path);
        EXPECT_EQ(text.substr(text.size() - 11), "abcdefghij\n") << size;
        EXPECT_LE(text.size(), limit + 1);
    }
    std::remove(path.c_str());
}

}  // namespace
