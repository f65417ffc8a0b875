// The user port commands inside the simulated unit: the status summary (4),
// loop detection (14) and the MAC aging time (25) with its clish script.
#include <string>
#include <vector>

#include "config/paths.h"
#include "e2e_support.h"

namespace {

const char WEB_CONFIG[] =
    "<config>\n"
    "\t<vlan>\n"
    "\t\t<port mode=\"4\" default_vid=\"100\" vid_sum=\"2\" vid_serial=\"200,300\">0</port>\n"
    "\t\t<port mode=\"2\" default_vid=\"7\" vid_sum=\"0\" vid_serial=\"\">1</port>\n"
    "\t</vlan>\n"
    "\t<switch>\n"
    "\t\t<port phy_admin=\"1\" flow_control=\"1\" auto_neg=\"0\" mode=\"2\" mode_max=\"3\">0</port>\n"
    "\t\t<port phy_admin=\"0\" flow_control=\"0\" auto_neg=\"1\" mode=\"1\" mode_max=\"3\">1</port>\n"
    "\t</switch>\n"
    "\t<mac_aging_time>\n"
    "\t\t<eth_port time=\"300\">0</eth_port>\n"
    "\t\t<eth_port time=\"600\">1</eth_port>\n"
    "\t</mac_aging_time>\n"
    "</config>";

// The EOAM file with the attributes of the three ONU_LOOPDETECT ports.
std::string eoamConfig(const std::string &port0, const std::string &port1, const std::string &port2)
{
    return "<eoam>\n\t<ONU_MULTICAST>\n\t\t<oam_multicast_switch>1</oam_multicast_switch>\n"
           "\t\t<port groupnum=\"32\"></port>\n\t</ONU_MULTICAST>\n\t<ONU_LOOPDETECT>\n"
           "\t\t<port" + port0 + "></port>\n\t\t<port" + port1 + "></port>\n\t\t<port" + port2 +
           "></port>\n\t</ONU_LOOPDETECT>\n</eoam>";
}

// The stored attribute that the web pages show as "0" and as "1".
const char WEB_0[] = " loopdetect=\"1\"";
const char WEB_1[] = " loopdetect=\"2\"";
const std::string EOAM_CONFIG = eoamConfig(WEB_0, WEB_1, "");

const std::string LOOP_DETECT_FAIL = errorReply(405, "set port loopdetect fail");

std::string eoamScript(const std::string &command)
{
    return "eoam\n" + command + "\n\nquit\n";
}

class PortStatusTest : public SimulatedUnitTest {
protected:
    void SetUp() override
    {
        SimulatedUnitTest::SetUp();
        writeFile(WEB_XML_PATH, laidDown(WEB_CONFIG));
        writeFile(EOAM_XML_PATH, laidDown(EOAM_CONFIG));
    }
};

TEST_F(PortStatusTest, SummaryShowsTheFirstRecordsAndFixedValues)
{
    const std::string summary =
        "[{VlanInfo_mode:\"4\",VlanInfo_serial:\"200,300\",admin_status:\"1\",auto_neg:\"0\","
        "default_vid:\"100\",fast_leave:\"0\",link:\"1\",link_rate:\"2\",loop_detect:\"0\","
        "max_igmp_group:\"32\",mc_mode:\"1\",mc_tag_oper:\"0\",pause:\"1\"}]";
    EXPECT_EQ(runCgi("cmd_id=4").output, jsonReply(summary));
    EXPECT_EQ(runCgi("cmd_id=4&action=2").output, jsonReply(summary));
    EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(WEB_CONFIG));
    EXPECT_EQ(readFile(EOAM_XML_PATH), laidDown(EOAM_CONFIG));
}

TEST_F(PortStatusTest, SummaryWithoutConfigurationSendsEmptyValues)
{
    runProgram(std::string("rm -f ") + WEB_XML_PATH + " " + EOAM_XML_PATH);
    EXPECT_EQ(runCgi("cmd_id=4").output,
              jsonReply("[{VlanInfo_mode:\"\",VlanInfo_serial:\"\",admin_status:\"1\",auto_neg:\"\","
                    "default_vid:\"\",fast_leave:\"0\",link:\"1\",link_rate:\"\",loop_detect:\"1\","
                    "max_igmp_group:\"\",mc_mode:\"\",mc_tag_oper:\"0\",pause:\"\"}]"));
}

TEST_F(PortStatusTest, LoopDetectReadMapsTheStoredValueOfPortZero)
{
    struct Case {
        const char *port0;
        const char *webValue;
    } cases[] = {
        {WEB_0, "0"},
        {WEB_1, "1"},
        {" loopdetect=\"0\"", "1"},
        {" loopdetect=\"\"", "1"},
        {"", "1"},
    };
    for (const Case &c : cases) {
        writeFile(EOAM_XML_PATH, laidDown(eoamConfig(c.port0, WEB_0, WEB_0)));
        std::string body = std::string("[{loop_detect:\"") + c.webValue + "\"}]";
        EXPECT_EQ(runCgi("cmd_id=14&action=0").output, jsonReply(body)) << c.port0;
        // The read ignores a port in the request.
        EXPECT_EQ(runCgi("cmd_id=14&action=0&port=1").output, jsonReply(body)) << c.port0;
    }
    runProgram(std::string("rm -f ") + EOAM_XML_PATH);
    EXPECT_EQ(runCgi("cmd_id=14&action=0").output, jsonReply("[{loop_detect:\"1\"}]"));
}

TEST_F(PortStatusTest, LoopDetectWriteStoresTheMappedValueForTheGivenPort)
{
    struct Case {
        const char *query;
        std::string stored;
    } cases[] = {
        {"cmd_id=14&action=1&port=1&loop_detect=0", eoamConfig(WEB_0, WEB_0, "")},
        {"cmd_id=14&action=1&port=0&loop_detect=1", eoamConfig(WEB_1, WEB_1, "")},
        {"cmd_id=14&action=1&port=0&loop_detect=yes", eoamConfig(WEB_1, WEB_1, "")},
        {"cmd_id=14&action=1&port=0", eoamConfig(WEB_1, WEB_1, "")},
        // A port text that is no number names the first port.
        {"cmd_id=14&action=1&port=abc&loop_detect=2", eoamConfig(WEB_1, WEB_1, "")},
        {"cmd_id=14&action=1&port=2&loop_detect=0", eoamConfig(WEB_0, WEB_1, WEB_0)},
    };
    for (const Case &c : cases) {
        writeFile(EOAM_XML_PATH, laidDown(EOAM_CONFIG));
        EXPECT_EQ(runCgi(c.query).output, jsonReply("0")) << c.query;
        EXPECT_EQ(readFile(EOAM_XML_PATH), c.stored) << c.query;
    }
}

TEST_F(PortStatusTest, LoopDetectWriteWithoutChangeOrPortLeavesTheFile)
{
    EXPECT_EQ(runCgi("cmd_id=14&action=1&port=0&loop_detect=0").output, jsonReply("0"));
    EXPECT_EQ(runCgi("cmd_id=14&action=1&port=3&loop_detect=0").output, LOOP_DETECT_FAIL);
    EXPECT_EQ(runCgi("cmd_id=14&action=1&port=-1&loop_detect=0").output, LOOP_DETECT_FAIL);
    EXPECT_EQ(readFile(EOAM_XML_PATH), laidDown(EOAM_CONFIG));
}

TEST_F(PortStatusTest, MacAgingReadShowsPortZero)
{
    EXPECT_EQ(runCgi("cmd_id=25&action=0").output, jsonReply("{aging_time:\"300\"}"));

    // Without an entry for port 0 the read fails.
    std::string portOneOnly = replaced(WEB_CONFIG, "<eth_port time=\"300\">0</eth_port>", "");
    writeFile(WEB_XML_PATH, laidDown(portOneOnly));
    EXPECT_EQ(runCgi("cmd_id=25&action=0").output, jsonReply("1"));
    EXPECT_TRUE(clishScripts().empty());
}

TEST_F(PortStatusTest, MacAgingWriteStoresThenSendsTheCommand)
{
    struct Case {
        const char *query;
        const char *time;  // stored for port 0 and sent to clish
    } cases[] = {
        {"cmd_id=25&action=1&age_time=120", "120"},
        {"cmd_id=25&action=1&age_time=300", "300"},
        {"cmd_id=25&action=1&age_time=", ""},
        {"cmd_id=25&action=1&age_time=forever", "forever"},
    };
    std::vector<std::string> scripts;
    for (const Case &c : cases) {
        writeFile(WEB_XML_PATH, laidDown(WEB_CONFIG));
        EXPECT_EQ(runCgi(c.query).output, jsonReply(" 0")) << c.query;
        scripts.push_back(eoamScript(std::string("port mac_aging_time 0 UNI_0 ") + c.time));
        std::string expected =
            c.time == std::string("300")
                ? laidDown(WEB_CONFIG)
                : replaced(WEB_CONFIG, "<eth_port time=\"300\">",
                           std::string("<eth_port time=\"") + c.time + "\">");
        EXPECT_EQ(readFile(WEB_XML_PATH), expected) << c.query;
    }
    EXPECT_EQ(clishScripts(), scripts);
}

TEST_F(PortStatusTest, MacAgingWriteRefusedByTheStoreSendsNothing)
{
    std::string portOneOnly = replaced(WEB_CONFIG, "<eth_port time=\"300\">0</eth_port>", "");
    writeFile(WEB_XML_PATH, laidDown(portOneOnly));
    EXPECT_EQ(runCgi("cmd_id=25&action=1&age_time=120").output, jsonReply(" 1"));
    EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(portOneOnly));
    EXPECT_TRUE(clishScripts().empty());
}

TEST_F(PortStatusTest, UnknownActionsGetNoReplyAndChangeNothing)
{
    const char *queries[] = {
        "cmd_id=14&action=2&port=1&loop_detect=0",
        "cmd_id=14&action=-1&port=1&loop_detect=0",
        "cmd_id=25&action=2&age_time=120",
        "cmd_id=25&action=9&age_time=120",
    };
    for (const char *query : queries) {
        RunResult result = runCgi(query);
        EXPECT_EQ(result.output, "") << query;
        EXPECT_EQ(result.status, 0) << query;
    }
    EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(WEB_CONFIG));
    EXPECT_EQ(readFile(EOAM_XML_PATH), laidDown(EOAM_CONFIG));
    EXPECT_TRUE(clishScripts().empty());
}

}  // namespace
