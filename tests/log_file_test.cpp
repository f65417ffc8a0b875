#include <cstdio>
#include <regex>
#include <tuple>

#include "log/log.h"
#include "unit_support.h"

// Each row: the file's size before (-1: no file), the messages written, and how
// many of the old file's newest bytes are left before the new stamped lines. A
// 21-character stamp and a 10-character message count 31 bytes against the
// limit; the line feed does not count.
TEST(LogFile, AppendsStampedLinesAndDropsTheOldestBytes)
{
    const std::string path = testing::TempDir() + "log_file.log";
    const long limit = LogFile::SIZE_LIMIT, line = 31;
    const std::tuple<long, std::vector<std::string>, long> cases[] = {
        {-1, {"0123456789"}, 0},
        {4, {"0123456789", ""}, 4},
        {limit - line, {"0123456789"}, limit - line},
        // The file reopened by the cut keeps taking lines at its end.
        {limit - line + 1, {"0123456789", "abcdefghij"}, limit - 2 * line - 1},
        {2097140, {"0123456789"}, 2097121},
        {limit + 500, {"0123456789"}, limit - line},
    };
    for (const auto &[size, messages, kept] : cases) {
        std::remove(path.c_str());
        std::string old(size < 0 ? 0 : size, 'x');
        for (std::size_t i = 0; i < old.size(); i += 1000)
            old[i] = static_cast<char>('a' + i / 1000 % 26);
        if (size >= 0)
            std::ofstream(path, std::ios::binary) << old;
        LogFile log(path);
        for (const std::string &message : messages)
            log.writeLine(message);
        const std::string text = readFile(path);
        ASSERT_GE(text.size(), static_cast<std::size_t>(kept)) << size;
        EXPECT_EQ(text.compare(0, kept, old, old.size() - kept, kept), 0) << size;
        std::size_t at = kept;
        for (const std::string &message : messages) {
            if (message.empty())
                continue;
            EXPECT_TRUE(std::regex_match(text.substr(at, 21), std::regex(R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\])")));
            EXPECT_EQ(text.substr(at + 21, message.size() + 1), message + "\n") << size;
            at += 22 + message.size();
        }
        EXPECT_EQ(at, text.size()) << size;
    }
    std::remove(path.c_str());
}
