// Storm control and WAN rate limit (30) inside the simulated unit: the read
// reply, and for writes the texts the sysfs command nodes received, in order,
// and the setting stored after them. The shell joins echo's words with single
// blanks, so the nodes show the words; web_storm_commands_test pins the blanks.
#include <string>

#include "config/paths.h"
#include "e2e_support.h"

namespace {

const char SUPPRESSION_NODE[] = "/sys/devices/platform/tpm/cfg_mngt/vesk_cmd";
const char RATE_LIMIT_NODE[] = "/sys/devices/platform/tpm/cfg_traffic/rate_limit_if_set";
const char STORM_PORT[] = "<port mode=\"3\" bs_thresh=\"1000\"/>";
const std::string STORM_CONFIG =
    std::string("<config>\n\t<storm>\n\t\t") + STORM_PORT + "\n\t</storm>\n</config>";

class StormControlTest : public SimulatedUnitTest {
protected:
    void SetUp() override
    {
        SimulatedUnitTest::SetUp();
        writeFile(WEB_XML_PATH, laidDown(STORM_CONFIG));
    }
};

TEST_F(StormControlTest, ReadShowsModeAndThreshold)
{
    struct Case {
        const char *port;
        const char *body;
    } cases[] = {
        {STORM_PORT, "[{bc_mode:\"3\",rate:\"1000\"}]"},
        {"<port mode=\"2\"/>", "[{bc_mode:\"2\",rate:\"\"}]"},
        {"<port/>", "[{bc_mode:\"\",rate:\"\"}]"},
        {"", "[]"},
    };
    for (const Case &c : cases) {
        writeFile(WEB_XML_PATH, laidDown(replaced(STORM_CONFIG, STORM_PORT, c.port)));
        EXPECT_EQ(runCgi("cmd_id=30&action=0").output, jsonReply(c.body)) << c.port;
    }
    writeFile(WEB_XML_PATH, laidDown("<config>\n</config>"));
    EXPECT_EQ(runCgi("cmd_id=30&action=0").output, jsonReply("[]"));
    runProgram(std::string("rm -f ") + WEB_XML_PATH);
    EXPECT_EQ(runCgi("cmd_id=30&action=0").output, jsonReply("[]"));
}

TEST_F(StormControlTest, WriteProgramsTheNodesThenStoresTheSetting)
{
    struct Case {
        const char *query;
        const char *suppression;  // texts the suppression node received
        const char *rateLimit;    // texts the rate-limit node received
        const char *storedPort;
    } cases[] = {
        {"cmd_id=30&action=1&bs=0&bs_thresh=500", "1 500 0 0 0\n", "",
         "<port mode=\"0\" bs_thresh=\"500\"></port>"},
        {"cmd_id=30&action=1&bs=1&bs_thresh=64", "2 64 0 0 0\n", "",
         "<port mode=\"1\" bs_thresh=\"64\"></port>"},
        {"cmd_id=30&action=1&bs=2&bs_thresh=1000", "", "0 us WAN 1000 1536\n0 ds WAN 1000 1536\n",
         "<port mode=\"2\" bs_thresh=\"1000\"></port>"},
        // Off: the threshold takes no part in the commands but is stored.
        {"cmd_id=30&action=1&bs=3&bs_thresh=77", "1 0 0 0 0\n2 0 0 0 0\n",
         "0 us WAN 1048568 1536\n0 ds WAN 1048568 1536\n",
         "<port mode=\"3\" bs_thresh=\"77\"></port>"},
        // No mode of the device's: nothing programmed, stored all the same.
        {"cmd_id=30&action=1&bs=4&bs_thresh=10", "", "", "<port mode=\"4\" bs_thresh=\"10\"></port>"},
        {"cmd_id=30&action=1&bs=&bs_thresh=10", "", "", "<port mode=\"\" bs_thresh=\"10\"></port>"},
        // An empty threshold goes to the node as it is and keeps the stored one.
        {"cmd_id=30&action=1&bs=2&bs_thresh=", "", "0 us WAN 1536\n0 ds WAN 1536\n",
         "<port mode=\"2\" bs_thresh=\"1000\"></port>"},
        {"cmd_id=30&action=1&bs=0", "1 0 0 0\n", "", "<port mode=\"0\" bs_thresh=\"1000\"></port>"},
        // No check on the threshold.
        {"cmd_id=30&action=1&bs=1&bs_thresh=fast", "2 fast 0 0 0\n", "",
         "<port mode=\"1\" bs_thresh=\"fast\"></port>"},
        // The first "bs" text is inside "bs_thresh": the mode reads "thresh=5".
        {"cmd_id=30&action=1&bs_thresh=5&bs=0", "", "",
         "<port mode=\"thresh=5\" bs_thresh=\"5\"></port>"},
    };
    for (const Case &c : cases) {
        resetUnit();
        writeFile(WEB_XML_PATH, laidDown(STORM_CONFIG));
        EXPECT_EQ(runCgi(c.query).output, jsonReply("0")) << c.query;
        EXPECT_EQ(readFile(SUPPRESSION_NODE), c.suppression) << c.query;
        EXPECT_EQ(readFile(RATE_LIMIT_NODE), c.rateLimit) << c.query;
        EXPECT_EQ(readFile(WEB_XML_PATH), replaced(STORM_CONFIG, STORM_PORT, c.storedPort))
            << c.query;
    }
}

TEST_F(StormControlTest, WriteRefusedByTheStoreHasAlreadyProgrammedTheDevice)
{
    const std::string noStorm = "<config>\n</config>";
    writeFile(WEB_XML_PATH, laidDown(noStorm));
    EXPECT_EQ(runCgi("cmd_id=30&action=1&bs=0&bs_thresh=500").output, jsonReply("1"));
    EXPECT_EQ(readFile(SUPPRESSION_NODE), "1 500 0 0 0\n");
    EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(noStorm));
}

TEST_F(StormControlTest, UnknownActionGetsNoReply)
{
    for (const char *query : {"cmd_id=30&action=2&bs=0&bs_thresh=500", "cmd_id=30&action=-1"}) {
        RunResult result = runCgi(query);
        EXPECT_EQ(result.output, "") << query;
        EXPECT_EQ(result.status, 0) << query;
    }
    EXPECT_EQ(readFile(SUPPRESSION_NODE), "");
    EXPECT_EQ(readFile(RATE_LIMIT_NODE), "");
    EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(STORM_CONFIG));
}

}  // namespace
