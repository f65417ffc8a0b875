#include <gtest/gtest.h>

#include <tuple>

#include "web/request_params.h"

namespace {

TEST(RequestParams, GetValueTakesTheFirstOccurrenceRaw)
{
    const char *cases[][3] = {
        // text, key, value
        {"cmd_id=14&action=1&port=0&loop_detect=1", "loop_detect", "1"},
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

TEST(RequestParams, ParseFindsCmdIdAndAction)
{
    const std::tuple<const char *, int, int> cases[] = {
        // The numbers are read as leadingInt reads them; here which keys they come from.
        {"cmd_id=14&action=1&port=0", 14, 1}, {"cmd_id=abc&action=x", 0, 0},    {"cmd_id=", 0, 0},
        {"transaction=1&cmd_id=2", 2, 1},     {"action=0&transaction=1", 0, 0},
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

}  // namespace
