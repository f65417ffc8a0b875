// Many pages writing at once through the served unit: every write that was
// acknowledged is stored, whichever settings share a file, and every clish
// script and driver text arrives whole and once.

#include <algorithm>
#include <sstream>
#include <thread>

#include "e2e_support.h"

namespace {

constexpr int WRITERS = 8, ROUNDS = 25;

// Writer w's request in round r, and the reply that acknowledges it.
struct Write {
    std::string body, acknowledged;
};

Write writeOf(int writer, int round)
{
    const std::string r = std::to_string(round);
    switch (writer) {
    case 0:  // two writers of one setting
    case 1:
        return {"cmd_id=25&action=1&age_time=" + std::to_string(1000 + 2 * round + writer), " 0"};
    case 2:
        return {"cmd_id=30&action=1&bs=0&bs_thresh=" + std::to_string(10 + round), "0"};
    case 3:
        return {"cmd_id=6&action=1&ip=10.0." + r + ".1&netmask=255.255.255.0", "0"};
    case 4:
        return {"cmd_id=20&pwdold=" + (round == 0 ? std::string("user") : "pw" + std::to_string(round - 1)) +
                    "&pwdnew=pw" + r,
                "0"};
    case 5:
        return {"cmd_id=16&action=1&ipv4DsMtu=" + std::to_string(1400 + round) + "&ipv4UsMtu=1500&ipv4pppoeUsMtu=1492",
                "0"};
    case 6:
        return {"cmd_id=27&action=1&que_id=" + std::to_string(round % 8) + "&usr_pri=" + r, "0"};
    default:
        return {"cmd_id=22&action=1&portId=0&mode=2&def_vid=" + std::to_string(100 + round), "0"};
    }
}

using ConcurrencyTest = ServedUnitTest;

TEST_F(ConcurrencyTest, EveryAcknowledgedWriteIsStoredAndEveryScriptArrivesOnce)
{
    const Login admin = login("admin", "admin");
    std::vector<std::string> expectedScripts, expectedNodes;
    for (int round = 0; round < ROUNDS; ++round) {
        std::vector<std::string> replies(WRITERS);
        std::vector<std::thread> writers;
        for (int w = 0; w < WRITERS; ++w)
            writers.emplace_back([&, w] {
                replies[w] = http("POST", "/cgi-bin/onu.cgi", writeOf(w, round).body, admin.writing()).body;
            });
        for (std::thread &writer : writers)
            writer.join();
        for (int w = 0; w < WRITERS; ++w)
            ASSERT_EQ(replies[w], writeOf(w, round).acknowledged + "\n") << writeOf(w, round).body;

        SCOPED_TRACE("round " + std::to_string(round));
        const std::string r = std::to_string(round), web = readFile(WEB_XML_PATH), tpm = readFile(TPM_XML_PATH);
        const std::string aging = runCgi("cmd_id=25&action=0").output;
        EXPECT_TRUE(aging == jsonReply("{aging_time:\"" + std::to_string(1000 + 2 * round) + "\"}") ||
                    aging == jsonReply("{aging_time:\"" + std::to_string(1000 + 2 * round + 1) + "\"}"))
            << aging;
        EXPECT_EQ(runCgi("cmd_id=30&action=0").output,
                  jsonReply("[{bc_mode:\"0\",rate:\"" + std::to_string(10 + round) + "\"}]"));
        EXPECT_NE(web.find("<ipAddress>10.0." + r + ".1</ipAddress>"), std::string::npos);
        EXPECT_NE(web.find("<user>pw" + r + "</user>"), std::string::npos);
        EXPECT_NE(web.find("default_vid=\"" + std::to_string(100 + round) + "\""), std::string::npos);
        EXPECT_NE(tpm.find("<ipv4_mtu_ds>" + std::to_string(1400 + round) + "</ipv4_mtu_ds>"), std::string::npos);
        EXPECT_NE(runCgi("cmd_id=27&action=0").output.find("queue" + std::to_string(round % 8) + ":\"" + r + "\""),
                  std::string::npos);
        for (int w = 0; w < 2; ++w)
            expectedScripts.push_back(
                script("eoam", "port mac_aging_time 0 UNI_0 " + std::to_string(1000 + 2 * round + w)));
        expectedScripts.push_back(script("eoam", "port vlan tag 0  " + std::to_string(100 + round)));
        expectedNodes.push_back("1 " + std::to_string(10 + round) + " 0 0 0");  // as echo writes it
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

}  // namespace
