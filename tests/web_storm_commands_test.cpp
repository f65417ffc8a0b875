// The storm control shell commands, blank for blank: the shell collapses the
// blanks before the sysfs nodes see the texts, so only here are they visible.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "web/storm_control_commands.h"

namespace {

const std::string SUPPRESSION = " > /sys/devices/platform/tpm/cfg_mngt/vesk_cmd";
const std::string RATE_LIMIT = " > /sys/devices/platform/tpm/cfg_traffic/rate_limit_if_set";

TEST(StormCommandsTest, EachModeGivesItsCommandsInOrder)
{
    const std::tuple<const char *, const char *, std::vector<std::string>> cases[] = {  // mode, threshold, commands
        {"0", "500", {"echo 1  500  0 0 0" + SUPPRESSION}},
        {"2", "1000", {"echo 0 us WAN  1000 1536" + RATE_LIMIT, "echo 0 ds WAN  1000 1536" + RATE_LIMIT}},
        {"3", "1000", {"echo 1 0 0 0 0" + SUPPRESSION, "echo 2 0 0 0 0" + SUPPRESSION,
                       "echo 0 us WAN 1048568 1536" + RATE_LIMIT, "echo 0 ds WAN 1048568 1536" + RATE_LIMIT}},
        {"0", "", {"echo 1    0 0 0" + SUPPRESSION}},
        {"2", "x y", {"echo 0 us WAN  x y 1536" + RATE_LIMIT, "echo 0 ds WAN  x y 1536" + RATE_LIMIT}},
        {"", "500", {}},
        {"00", "500", {}},
        {" 0", "500", {}},
    };
    for (const auto &[mode, threshold, commands] : cases)
        EXPECT_EQ(stormCommands(mode, threshold), commands) << mode << "/" << threshold;
}

}  // namespace
