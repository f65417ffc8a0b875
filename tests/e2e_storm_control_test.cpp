// Storm control and WAN rate limit (30) inside the simulated unit: the read
// reply, and for writes the shell commands that program the traffic
// processor's nodes, in order and blank for blank, then the setting stored.

#include "e2e_support.h"

namespace {

const std::string SUPPRESSION = std::string(" > ") + SUPPRESSION_NODE_PATH + "\n";
const std::string RATE_LIMIT = std::string(" > ") + RATE_LIMIT_NODE_PATH + "\n";

using StormControlTest = SimulatedUnitTest;

TEST_F(StormControlTest, ReadShowsAndWriteProgramsTheNodesThenStores)
{
    const char *web = WEB_XML_PATH;
    const std::string stored = "<port mode=\"3\" bs_thresh=\"1000\">";
    const auto port = [](const char *mode, const char *threshold) {
        return std::string("<port mode=\"") + mode + "\" bs_thresh=\"" + threshold + "\">";
    };
    const std::string rateLimit1000 = "echo 0 us WAN  1000 1536" + RATE_LIMIT + "echo 0 ds WAN  1000 1536" + RATE_LIMIT;
    expectExchanges({
        {"cmd_id=30&action=0", jsonReply("[{bc_mode:\"3\",rate:\"1000\"}]")},
        {"cmd_id=30&action=0",
         jsonReply("[{bc_mode:\"3\",rate:\"\"}]"),
         {},
         {},
         "",
         {{web, " bs_thresh=\"1000\"", ""}}},
        {"cmd_id=30&action=0", jsonReply("[]"), {}, {}, "", {{web, stored + "</port>", ""}}},
        {"cmd_id=30&action=1&bs=0&bs_thresh=500",
         jsonReply("0"),
         {{web, stored, port("0", "500")}},
         {},
         "echo 1  500  0 0 0" + SUPPRESSION},
        {"cmd_id=30&action=1&bs=1&bs_thresh=64",
         jsonReply("0"),
         {{web, stored, port("1", "64")}},
         {},
         "echo 2  64  0 0 0" + SUPPRESSION},
        {"cmd_id=30&action=1&bs=2&bs_thresh=1000",
         jsonReply("0"),
         {{web, stored, port("2", "1000")}},
         {},
         rateLimit1000},
        // Off: the threshold takes no part in the commands but is stored.
        {"cmd_id=30&action=1&bs=3&bs_thresh=77",
         jsonReply("0"),
         {{web, stored, port("3", "77")}},
         {},
         "echo 1 0 0 0 0" + SUPPRESSION + "echo 2 0 0 0 0" + SUPPRESSION + "echo 0 us WAN 1048568 1536" + RATE_LIMIT +
             "echo 0 ds WAN 1048568 1536" + RATE_LIMIT},
        // No mode of the device's (the text, not its number): nothing programmed, stored all the same.
        {"cmd_id=30&action=1&bs=00&bs_thresh=10", jsonReply("0"), {{web, stored, port("00", "10")}}},
        // An empty threshold goes to the node as it is and keeps the stored one.
        {"cmd_id=30&action=1&bs=2&bs_thresh=",
         jsonReply("0"),
         {{web, stored, port("2", "1000")}},
         {},
         "echo 0 us WAN   1536" + RATE_LIMIT + "echo 0 ds WAN   1536" + RATE_LIMIT},
        // The device is programmed before the store refuses.
        {"cmd_id=30&action=1&bs=2&bs_thresh=1000", jsonReply("1"), {}, {}, rateLimit1000, without(web, "storm")},
    });
}

}  // namespace
