#include <tuple>

#include "device/epon_info_reader.h"
#include "unit_support.h"

static std::vector<std::string> fields(const EponInfo &info)
{
    return {info.state, info.etherType, info.unicastMacAddr, info.field3, info.txLLId1, info.txLLId2};
}

using Words = std::vector<std::string>;

TEST(EponInfoReaderTest, InfoWordRules)
{
    const std::tuple<const char *, const char *, Words> cases[] = {
        // name, content, fields
        {"runs of spaces separate once", "[abc]    Active   b  c d 7 9.\n", {"Active", "b", "c", "d", "7", "9"}},
        {"tab is part of a word", "[abc] Act\tive b c d 7 9.\n", {"Act\tive", "b", "c", "d", "7", "9"}},
        {"only '[' lines count",
         "state Active\n\n [x] no\n[abc] Active b c d 7 9.\nx\n",
         {"Active", "b", "c", "d", "7", "9"}},
        {"first five and last characters skipped", "[abcdActive b c d 7 9X", {"Active", "b", "c", "d", "7", "9"}},
        {"words after the sixth ignored", "[abc] a b c d e f g h.\n", {"a", "b", "c", "d", "e", "f"}},
        {"fewer words leave fields empty", "[abc] Active b.\n", {"Active", "b", "", "", "", ""}},
        {"no used line", "Active b c d e f\n", {"", "", "", "", "", ""}},
        {"truncated lines", "[\n[ab\n[abcd\n[abcde\n[abcd xy", {"x", "", "", "", "", ""}},
        {"later line appends from the first field", "[abc] Act b.\n[abc]ive.\n", {"Active", "b", "", "", "", ""}},
        {"word in progress carries over", "[abc] Act b.\n[abc] ive.\n", {"Act", "bive", "", "", "", ""}},
        {"no final line feed", "[abc] Active b c d 7 9.", {"Active", "b", "c", "d", "7", "9"}},
    };
    TempFolder folder;
    for (const auto &[name, content, expected] : cases) {
        EponInfo info;
        EXPECT_EQ(EponInfoReader(folder.write("info", content), "").readEponInfo(info), 0) << name;
        EXPECT_EQ(fields(info), expected) << name;
    }
}

// Counters are the numbers of the '[' lines in order, however they are split
// (as the image's own file shows end to end); numbers past the twentieth are left.
TEST(EponInfoReaderTest, CountersTakeTheFirstTwenty)
{
    TempFolder folder;
    const std::string path =
        folder.write("counters", "[rx ] 0 1 2 3 4 5 6 7 8 9.\n[tx ] 10 11 12 13 14 15 16 17 18 19 20 21.\n");
    EponCounters record;
    EXPECT_EQ(EponInfoReader("", path).readAllCounters(record), 0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(record.*EPON_COUNTER_FIELDS[i].value, std::to_string(i));
}
