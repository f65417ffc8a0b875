// VLAN mode command texts: the blanks between the pieces are part of the
// device's syntax, so every case compares whole texts.
#include <gtest/gtest.h>

#include <string>

#include "web/clish_bridge.h"

namespace {

struct VlanCase {
    VlanPortRecord port;
    int result;
    std::string command;
};

const VlanCase VLAN_CASES[] = {
    {{"1", "1", "100", "2", "200,300"}, 0, "port vlan transparent 1"},
    {{"1", "2", "100", "", ""}, 0, "port vlan tag 1  100"},
    {{"1", "3", "100", "2", "200,300"}, 0, "port vlan translation  1  100 2  200,300"},
    {{"1", "4", "100", "2", "200,300"}, 0, "port vlan trunk  1  100   2  200,300"},
    // The mode is read as the C library reads a decimal number.
    {{"0", " +2x", "7", "", ""}, 0, "port vlan tag 0  7"},
    {{"1", "04", "", "", ""}, 0, "port vlan trunk  1       "},
    {{"1", "0", "100", "", ""}, -1, ""},
    {{"1", "5", "100", "", ""}, -1, ""},
    {{"1", "9", "100", "", ""}, -1, ""},
    {{"1", "-1", "100", "", ""}, -1, ""},
    {{"1", "tag", "100", "", ""}, -1, ""},
    {{"1", "", "100", "", ""}, -1, ""},
    {{"1", "99999999999999999999", "100", "", ""}, -1, ""},
};

TEST(ClishVlanCommand, BuildsTheTextOfEachMode)
{
    for (const VlanCase &c : VLAN_CASES) {
        std::string command = "stale";
        EXPECT_EQ(vlanModeCommand(c.port, command), c.result) << "mode '" << c.port.mode << "'";
        EXPECT_EQ(command, c.command) << "mode '" << c.port.mode << "'";
    }
}

}  // namespace
