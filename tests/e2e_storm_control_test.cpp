// Storm control and WAN rate limit (30) inside the simulated unit: the read
// reply, and for writes the shell commands that program the traffic
// processor's nodes, in order and blank for blank, then the setting stored.

#include "e2e_support.h"

const std::string SUPPRESSION = std::string(" > ") + SUPPRESSION_NODE_PATH + "\n";
const std::string RATE_LIMIT = std::string(" > ") + RATE_LIMIT_NODE_PATH + "\n";
const char *const WEB = WEB_XML_PATH;
const std::string STORED = "<port mode=\"3\" bs_thresh=\"1000\">";

// An acknowledged write of mode `bs` and `bsThreshold` that runs `commands`
// and stores the mode and `threshold`.
static Exchange stored(const std::string &bs, const std::string &bsThreshold, const std::string &threshold,
                       const std::string &commands)
{
    Exchange write{"cmd_id=30&action=1&bs=" + bs + "&bs_thresh=" + bsThreshold, jsonReply("0")};
    write.changes = {{WEB, STORED, "<port mode=\"" + bs + "\" bs_thresh=\"" + threshold + "\">"}};
    write.commands = commands;
    return write;
}

using StormControlTest = SimulatedUnitTest;

TEST_F(StormControlTest, ReadShowsAndWriteProgramsTheNodesThenStores)
{
    const std::string rateLimit1000 = "echo 0 us WAN  1000 1536" + RATE_LIMIT + "echo 0 ds WAN  1000 1536" + RATE_LIMIT;
    expectExchanges({
        {"cmd_id=30&action=0", jsonReply("[{bc_mode:\"3\",rate:\"1000\"}]")},
        given({{WEB, " bs_thresh=\"1000\"", ""}}, {"cmd_id=30&action=0", jsonReply("[{bc_mode:\"3\",rate:\"\"}]")}),
        given({{WEB, STORED + "</port>", ""}}, {"cmd_id=30&action=0", jsonReply("[]")}),
        stored("0", "500", "500", "echo 1  500  0 0 0" + SUPPRESSION),
        stored("1", "64", "64", "echo 2  64  0 0 0" + SUPPRESSION),
        stored("2", "1000", "1000", rateLimit1000),
        // Off: the threshold takes no part in the commands but is stored.
        stored("3", "77", "77",
               "echo 1 0 0 0 0" + SUPPRESSION + "echo 2 0 0 0 0" + SUPPRESSION + "echo 0 us WAN 1048568 1536" +
                   RATE_LIMIT + "echo 0 ds WAN 1048568 1536" + RATE_LIMIT),
        // No mode of the device's (the text, not its number): nothing programmed, stored all the same.
        stored("00", "10", "10", ""),
        // An empty threshold goes to the node as it is and keeps the stored one.
        stored("2", "", "1000", "echo 0 us WAN   1536" + RATE_LIMIT + "echo 0 ds WAN   1536" + RATE_LIMIT),
        // The device is programmed before the store refuses.
        given(without(WEB, "storm"), {"cmd_id=30&action=1&bs=2&bs_thresh=1000", jsonReply("1"), {}, {}, rateLimit1000}),
    });
}
