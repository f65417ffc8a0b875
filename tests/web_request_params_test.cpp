#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "web/request_params.h"

TEST(RequestParams, GetValueTakesTheFirstOccurrenceRaw)
{
    const char *cases[][3] = {
        // text, key, value
        {"cmd_id=14&action=1", "missing", ""},
        {"cmd_id=14&action=1", "", ""},
        {"default_vid=5&vid=6", "vid", "5"},  // also inside another key
        {"cmd_idX7", "cmd_id", "7"},          // the character after the key is not looked at
        {"a=1&cmd_id", "cmd_id", ""},
        {"a=&b=2", "a", ""},
        {"name=a%20b+c&x=1", "name", "a%20b+c"},
        {"Port=1&port=2", "port", "2"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RequestParams(c[0]).getValue(c[1]), c[2]) << c[0] << " / " << c[1];
}

// The numbers are read as strtol reads them, limited to the range of int.
TEST(RequestParams, ParseReadsCmdIdAndAction)
{
    const std::tuple<std::string, int, int> cases[] = {
        {"cmd_id=14&action=1&port=0", 14, 1},
        {"transaction=1&cmd_id=2", 2, 1},
        {"action=0&transaction=1", 0, 0},
        {"cmd_id=&action= ", 0, 0},
        {"cmd_id=+&action=-", 0, 0},
        {"cmd_id=+-5&action=- 5", 0, 0},
        {"cmd_id=0x1A&action=1e3", 0, 1},
        {"cmd_id=+12abc&action=-3", 12, -3},
        {"cmd_id= \t\n\v\f\r5&action=007", 5, 7},
        {std::string("cmd_id=4\0002", 10), 4, 0},  // stops at NUL
        {"cmd_id=2147483647&action=-2147483648", INT_MAX, INT_MIN},
        {"cmd_id=2147483648&action=-2147483649", INT_MAX, INT_MIN},
        {"cmd_id=99999999999999999999999&action=-99999999999999999999999", INT_MAX, INT_MIN},
    };
    for (const auto &[text, cmdId, action] : cases) {
        RequestParams params(text);
        EXPECT_EQ(params.cmdId, cmdId) << text;
        EXPECT_EQ(params.action, action) << text;
    }
    // A later text keeps what it does not carry; an empty one changes nothing.
    RequestParams params("cmd_id=22&action=1&vid=9");
    params.parse("cmd_id=&port=3");
    params.parse("");
    EXPECT_EQ(params.cmdId, 22);
    EXPECT_EQ(params.action, 1);
    EXPECT_EQ(params.getValue("port"), "3");
    EXPECT_EQ(params.getValue("vid"), "");
}
