#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

#include "init/boot_env.h"

// The scratch file as fw_printenv leaves it; a plain line, an empty value and
// a missing variable are shown by onu-init end to end.
TEST(FindBootEnvMac, TakesTheFirstMatchingLineOrLeavesTheMac)
{
    const std::tuple<std::string, int, const char *> cases[] = {
        // content, result, mac
        {"ethaddr=00:11:22:33:44:56\nmv_pon_addr=00:11:22:33:44:55", 0, "00:11:22:33:44:55"},
        // Cut to 17 characters, a carriage return with them.
        {"mv_pon_addr=00:11:22:33:44:55:66\n", 0, "00:11:22:33:44:55"},
        {"mv_pon_addr=00:11:22:33:44:55\r\n", 0, "00:11:22:33:44:55"},
        // Not validated: anything after the first "=", any longer name.
        {"mv_pon_addr=a=b\n", 0, "a=b"},
        {"mv_pon_addr_old=12:34\n", 0, "12:34"},
        // A matching line without "=" is skipped.
        {"mv_pon_addr 00:11\nmv_pon_addr=66:77\n", 0, "66:77"},
        {std::string("\0\xff\n", 3) + std::string(70000, 'x') + "\nmv_pon_addr=1\n", 0, "1"},
        {"## Error: \"mv_pon_addr\" not defined\n", -1, "unchanged"},
        {"mv_pon_add=00:11:22:33:44:55\nmv_pon_addr\n", -1, "unchanged"},
        {" mv_pon_addr=00:11\nMV_PON_ADDR=00:11\n", -1, "unchanged"},
    };
    for (const auto &[content, result, expected] : cases) {
        std::string mac = "unchanged";
        EXPECT_EQ(findBootEnvMac(content, mac), result) << content;
        EXPECT_EQ(mac, expected) << content;
    }
}
