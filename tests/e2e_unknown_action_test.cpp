// Each command that has actions, given one it does not know: its reply or its
// silence, and nothing stored, run or sent to clish; a number without a
// command, the 404 reply. The commands that only read answer as to a read.

#include "e2e_support.h"

using UnknownActionTest = SimulatedUnitTest;

TEST_F(UnknownActionTest, ChangesNothing)
{
    expectExchanges({
        {"cmd_id=5&action=2&sn=SN0001&loid=helo99&password=lp01&auth_mode=1&fec_mode=1", ""},
        {"cmd_id=6&action=2&ip=10.10.10.2&netmask=255.0.0.0", ""},
        {"cmd_id=10&action=2", ""},
        {"cmd_id=14&action=2&port=1&loop_detect=0", ""},
        {"cmd_id=16&action=2&ipv4DsMtu=1400", ""},
        {"cmd_id=17&action=2&mc_mode=0", ""},
        {"cmd_id=22&action=2&portId=0&mode=1&def_vid=5", jsonReply("1")},
        {"cmd_id=23&action=2&port=0&flow_control=1&auto=1&mode=2", ""},
        {"cmd_id=24&action=2&iso=1", ""},
        {"cmd_id=25&action=2&age_time=120", ""},
        {"cmd_id=26&action=2&algo_mode=1", ""},
        {"cmd_id=27&action=2&que_id=0&usr_pri=5", ""},
        {"cmd_id=28&action=2&voq_dir=0&voq_id=0&voq_thresh=64", ""},
        {"cmd_id=30&action=2&bs=0&bs_thresh=500", ""},
        {"cmd_id=7&action=1", errorReply(404, "processor is not find")},
    });
    for (const std::string read :
         {"cmd_id=1&username=admin&password=Adm1n", "cmd_id=2", "cmd_id=3", "cmd_id=4", "cmd_id=8"})
        EXPECT_EQ(runCgi(read + "&action=2").output, runCgi(read).output) << read;
}
