// Storm control and WAN rate limit (30) inside the simulated unit: the read
// reply, and for writes the texts the sysfs command nodes received, in order,
// and the setting stored after them. The shell joins echo's words with single
// blanks, so the nodes show the words; web_storm_commands_test pins the blanks.

#include "e2e_support.h"

namespace {

using StormControlTest = SimulatedUnitTest;

TEST_F(StormControlTest, ReadShowsAndWriteProgramsTheNodesThenStores)
{
    const char *web = WEB_XML_PATH;
    const std::string stored = "<port mode=\"3\" bs_thresh=\"1000\">";
    const auto port = [](const char *mode, const char *threshold) {
        return std::string("<port mode=\"") + mode + "\" bs_thresh=\"" + threshold + "\">";
    };
    const char *rateLimit1000 =
        "rate_limit_if_set: 0 us WAN 1000 1536\nrate_limit_if_set: 0 ds WAN 1000 1536\n";
    expectExchanges({
        {"cmd_id=30&action=0", jsonReply("[{bc_mode:\"3\",rate:\"1000\"}]")},
        {"cmd_id=30&action=0", jsonReply("[{bc_mode:\"3\",rate:\"\"}]"), {}, {}, "",
         {{web, " bs_thresh=\"1000\"", ""}}},
        {"cmd_id=30&action=0", jsonReply("[]"), {}, {}, "", {{web, stored + "</port>", ""}}},
        {"cmd_id=30&action=1&bs=0&bs_thresh=500", jsonReply("0"), {{web, stored, port("0", "500")}}, {},
         "vesk_cmd: 1 500 0 0 0\n"},
        {"cmd_id=30&action=1&bs=1&bs_thresh=64", jsonReply("0"), {{web, stored, port("1", "64")}}, {},
         "vesk_cmd: 2 64 0 0 0\n"},
        {"cmd_id=30&action=1&bs=2&bs_thresh=1000", jsonReply("0"), {{web, stored, port("2", "1000")}}, {},
         rateLimit1000},
        // Off: the threshold takes no part in the commands but is stored.
        {"cmd_id=30&action=1&bs=3&bs_thresh=77", jsonReply("0"), {{web, stored, port("3", "77")}}, {},
         "vesk_cmd: 1 0 0 0 0\nvesk_cmd: 2 0 0 0 0\nrate_limit_if_set: 0 us WAN 1048568 1536\n"
         "rate_limit_if_set: 0 ds WAN 1048568 1536\n"},
        // No mode of the device's: nothing programmed, stored all the same.
        {"cmd_id=30&action=1&bs=4&bs_thresh=10", jsonReply("0"), {{web, stored, port("4", "10")}}},
        // An empty threshold goes to the node as it is and keeps the stored one.
        {"cmd_id=30&action=1&bs=2&bs_thresh=", jsonReply("0"), {{web, stored, port("2", "1000")}}, {},
         "rate_limit_if_set: 0 us WAN 1536\nrate_limit_if_set: 0 ds WAN 1536\n"},
        // The first "bs" text is inside "bs_thresh": the mode reads "thresh=5".
        {"cmd_id=30&action=1&bs_thresh=5&bs=0", jsonReply("0"), {{web, stored, port("thresh=5", "5")}}},
        // The device is programmed before the store refuses.
        {"cmd_id=30&action=1&bs=2&bs_thresh=1000", jsonReply("1"), {}, {}, rateLimit1000,
         without(web, "storm")},
        {"cmd_id=30&action=2&bs=0&bs_thresh=500", ""},
    });
}

}  // namespace
