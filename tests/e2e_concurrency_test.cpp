// Many pages writing at once through the served unit: every write that was
// acknowledged is stored, whichever settings share a file, and every clish
// script and driver text arrives whole and once.

#include <functional>
#include <thread>

#include "e2e_support.h"

static constexpr int WRITERS = 8, ROUNDS = 25;

// Each writer's request in a round; the first two change one setting.
static std::string num(int value) { return std::to_string(value); }
const std::function<std::string(int)> WRITES[WRITERS] = {
    [](int round) { return "cmd_id=25&action=1&age_time=" + num(1000 + 2 * round); },
    [](int round) { return "cmd_id=25&action=1&age_time=" + num(1001 + 2 * round); },
    [](int round) { return "cmd_id=30&action=1&bs=0&bs_thresh=" + num(10 + round); },
    [](int round) { return "cmd_id=6&action=1&ip=10.0." + num(round) + ".1&netmask=255.255.255.0"; },
    [](int round) {
        return "cmd_id=20&pwdold=" + (round ? "pw" + num(round - 1) : "user") + "&pwdnew=pw" + num(round);
    },
    [](int round) {
        return "cmd_id=16&action=1&ipv4DsMtu=" + num(1400 + round) + "&ipv4UsMtu=1500&ipv4pppoeUsMtu=1492";
    },
    [](int round) { return "cmd_id=27&action=1&que_id=" + num(round % 8) + "&usr_pri=" + num(round); },
    [](int round) { return "cmd_id=22&action=1&portId=0&mode=2&def_vid=" + num(100 + round); },
};

using ConcurrencyTest = ServedUnitTest;

TEST_F(ConcurrencyTest, EveryAcknowledgedWriteIsStoredAndEveryScriptArrivesOnce)
{
    const Login admin = login("admin", "admin");
    std::vector<std::string> expectedScripts, expectedNodes;
    for (int round = 0; round < ROUNDS; ++round) {
        std::vector<std::string> replies(WRITERS);
        std::vector<std::thread> writers;
        for (int w = 0; w < WRITERS; ++w)
            writers.emplace_back(
                [&, w] { replies[w] = http("POST", "/cgi-bin/onu.cgi", WRITES[w](round), admin.writing()).body; });
        for (std::thread &writer : writers)
            writer.join();
        for (int w = 0; w < WRITERS; ++w)
            ASSERT_EQ(replies[w], w < 2 ? " 0\n" : "0\n") << WRITES[w](round);

        SCOPED_TRACE("round " + num(round));
        const std::string web = readFile(WEB_XML_PATH), tpm = readFile(TPM_XML_PATH);
        const std::string aging = runCgi("cmd_id=25&action=0").output;
        EXPECT_TRUE(aging == jsonReply("{aging_time:\"" + num(1000 + 2 * round) + "\"}") ||
                    aging == jsonReply("{aging_time:\"" + num(1000 + 2 * round + 1) + "\"}"))
            << aging;
        EXPECT_EQ(runCgi("cmd_id=30&action=0").output, jsonReply("[{bc_mode:\"0\",rate:\"" + num(10 + round) + "\"}]"));
        EXPECT_NE(web.find("<ipAddress>10.0." + num(round) + ".1</ipAddress>"), std::string::npos);
        EXPECT_NE(web.find("<user>pw" + num(round) + "</user>"), std::string::npos);
        EXPECT_NE(web.find("default_vid=\"" + num(100 + round) + "\""), std::string::npos);
        EXPECT_NE(tpm.find("<ipv4_mtu_ds>" + num(1400 + round) + "</ipv4_mtu_ds>"), std::string::npos);
        EXPECT_NE(runCgi("cmd_id=27&action=0").output.find("queue" + num(round % 8) + ":\"" + num(round) + "\""),
                  std::string::npos);
        for (int w = 0; w < 2; ++w)
            expectedScripts.push_back(script("eoam", "port mac_aging_time 0 UNI_0 " + num(1000 + 2 * round + w)));
        expectedScripts.push_back(script("eoam", "port vlan tag 0  " + num(100 + round)));
        expectedNodes.push_back("1 " + num(10 + round) + " 0 0 0");  // as echo writes it
    }
    // Order across rounds is free; content and count are not.
    auto sorted = [](std::vector<std::string> texts) {
        std::sort(texts.begin(), texts.end());
        return texts;
    };
    EXPECT_EQ(sorted(clishScripts()), sorted(expectedScripts));
    std::vector<std::string> nodeLines;
    std::istringstream node(readFile(SUPPRESSION_NODE_PATH));
    for (std::string line; std::getline(node, line);)
        nodeLines.push_back(line);
    EXPECT_EQ(sorted(nodeLines), sorted(expectedNodes));
}
