// Switch port settings (23) and port isolation (24) inside the simulated unit:
// the read replies, and for writes the files stored and the tpm scripts sent.
#include <string>
#include <vector>

#include "config/paths.h"
#include "e2e_support.h"

namespace {

const char PORT_0[] = "<port phy_admin=\"0\" flow_control=\"1\" auto_neg=\"1\" mode=\"3\" mode_max=\"3\">0</port>";
const char PORT_1[] = "<port phy_admin=\"1\" flow_control=\"0\" auto_neg=\"0\" mode=\"1\" mode_max=\"2\">1</port>";
const std::string SWITCH_CONFIG = std::string("<config>\n\t<switch>\n\t\t") + PORT_0 + "\n\t\t" +
                                  PORT_1 + "\n\t</switch>\n</config>";
const char FLOW_CONTROL_OFF[] = "<enabled>0</enabled>";
const std::string TPM_CONFIG =
    std::string("<tpm>\n\t<flow_control>\n\t\t") + FLOW_CONTROL_OFF + "\n\t</flow_control>\n</tpm>";
const char NOT_ISOLATED[] = "<ethPortIsolated enabled=\"false\"/>";
const std::string OMCI_CONFIG =
    std::string("<omci>\n\t<OMCI_MIB>\n\t\t") + NOT_ISOLATED + "\n\t</OMCI_MIB>\n</omci>";

std::string tpmScript(const std::string &workMode, const std::string &flowControl)
{
    return "tpm\nconfig\nport autoneg 0 WAN true " + workMode + "\nport fc 0 WAN " + flowControl +
           "\n\n\nquit\n";
}

class PortConfigTest : public SimulatedUnitTest {
protected:
    void SetUp() override
    {
        SimulatedUnitTest::SetUp();
        writeFile(WEB_XML_PATH, laidDown(SWITCH_CONFIG));
        writeFile(TPM_XML_PATH, laidDown(TPM_CONFIG));
    }
};

TEST_F(PortConfigTest, ReadListsEveryPortInStoredOrder)
{
    EXPECT_EQ(runCgi("cmd_id=23&action=0").output,
              jsonReply("[ {auto:\"1\",flow_control:\"1\",link:\"net_up\",mode_max:\"3\",phy:\"0\","
                    "port_id:\"0\",work_mode:\"3\"},"
                    "{auto:\"0\",flow_control:\"0\",link:\"net_up\",mode_max:\"2\",phy:\"1\","
                    "port_id:\"1\",work_mode:\"1\"}]"));
}

TEST_F(PortConfigTest, ReadShowsMissingAttributesEmpty)
{
    writeFile(WEB_XML_PATH, laidDown("<config>\n\t<switch>\n\t\t<port mode=\"2\">5</port>\n"
                                     "\t</switch>\n</config>"));
    EXPECT_EQ(runCgi("cmd_id=23&action=0").output,
              jsonReply("[ {auto:\"\",flow_control:\"\",link:\"net_up\",mode_max:\"\",phy:\"\","
                    "port_id:\"5\",work_mode:\"2\"}]"));
}

TEST_F(PortConfigTest, ReadWithoutPortsAnswersAnEmptyList)
{
    const char *configs[] = {
        "<config>\n\t<switch>\n\t</switch>\n</config>",
        "<config>\n</config>",
    };
    for (const char *config : configs) {
        writeFile(WEB_XML_PATH, laidDown(config));
        EXPECT_EQ(runCgi("cmd_id=23&action=0").output, jsonReply("[]")) << config;
    }
    runProgram(std::string("rm -f ") + WEB_XML_PATH);
    EXPECT_EQ(runCgi("cmd_id=23&action=0").output, jsonReply("[]"));
}

TEST_F(PortConfigTest, WriteStoresThePortThenAppliesItToTheWanPort)
{
    struct Case {
        const char *query;
        const char *oldPort;
        const char *storedPort;  // keeps phy_admin and mode_max
        const char *workMode;
        const char *flowControl;  // as the tpm script says it
        const char *enabled;  // traffic-processor flag after the write; none when untouched
    } cases[] = {
        {"cmd_id=23&action=1&port=0&flow_control=0&auto=0&mode=2", PORT_0,
         "<port phy_admin=\"0\" flow_control=\"0\" auto_neg=\"0\" mode=\"2\" mode_max=\"3\">0</port>",
         "2", "false", nullptr},
        // Any port named: the shell lines still address port 0.
        {"cmd_id=23&action=1&port=1&flow_control=1&auto=1&mode=4", PORT_1,
         "<port phy_admin=\"1\" flow_control=\"1\" auto_neg=\"1\" mode=\"4\" mode_max=\"2\">1</port>",
         "4", "true", "<enabled>1</enabled>"},
        // Only "0" exactly turns flow control off.
        {"cmd_id=23&action=1&port=0&flow_control=&auto=1&mode=3", PORT_0,
         "<port phy_admin=\"0\" flow_control=\"\" auto_neg=\"1\" mode=\"3\" mode_max=\"3\">0</port>",
         "3", "true", "<enabled></enabled>"},
        {"cmd_id=23&action=1&port=0&flow_control=00&auto=1&mode=3", PORT_0,
         "<port phy_admin=\"0\" flow_control=\"00\" auto_neg=\"1\" mode=\"3\" mode_max=\"3\">0</port>",
         "3", "true", "<enabled>00</enabled>"},
        // Missing keys read as empty texts.
        {"cmd_id=23&action=1&port=1", PORT_1,
         "<port phy_admin=\"1\" flow_control=\"\" auto_neg=\"\" mode=\"\" mode_max=\"2\">1</port>",
         "", "true", "<enabled></enabled>"},
    };
    std::vector<std::string> scripts;
    for (const Case &c : cases) {
        writeFile(WEB_XML_PATH, laidDown(SWITCH_CONFIG));
        writeFile(TPM_XML_PATH, laidDown(TPM_CONFIG));
        EXPECT_EQ(runCgi(c.query).output, jsonReply("0")) << c.query;
        EXPECT_EQ(readFile(WEB_XML_PATH), replaced(SWITCH_CONFIG, c.oldPort, c.storedPort))
            << c.query;
        EXPECT_EQ(readFile(TPM_XML_PATH), c.enabled
                                              ? replaced(TPM_CONFIG, FLOW_CONTROL_OFF, c.enabled)
                                              : laidDown(TPM_CONFIG))
            << c.query;
        scripts.push_back(tpmScript(c.workMode, c.flowControl));
    }
    EXPECT_EQ(clishScripts(), scripts);
}

TEST_F(PortConfigTest, WriteRefusedByTheStoreAppliesNothing)
{
    const std::string noSwitch = "<config>\n</config>";
    struct Case {
        const char *query;
        std::string config;
    } cases[] = {
        {"cmd_id=23&action=1&port=7&flow_control=1&auto=1&mode=2", SWITCH_CONFIG},
        {"cmd_id=23&action=1&port=&flow_control=1&auto=1&mode=2", SWITCH_CONFIG},
        {"cmd_id=23&action=1&port=0&flow_control=1&auto=1&mode=2", noSwitch},
    };
    for (const Case &c : cases) {
        writeFile(WEB_XML_PATH, laidDown(c.config));
        EXPECT_EQ(runCgi(c.query).output, jsonReply("1  ")) << c.query;
        EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(c.config)) << c.query;
    }
    EXPECT_EQ(readFile(TPM_XML_PATH), laidDown(TPM_CONFIG));
    EXPECT_TRUE(clishScripts().empty());
}

TEST_F(PortConfigTest, UnknownActionGetsNoReply)
{
    for (const char *query : {"cmd_id=23&action=2&port=0&flow_control=1&auto=1&mode=2",
                              "cmd_id=23&action=-1", "cmd_id=24&action=2&iso=1",
                              "cmd_id=24&action=9"}) {
        RunResult result = runCgi(query);
        EXPECT_EQ(result.output, "") << query;
        EXPECT_EQ(result.status, 0) << query;
    }
    EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(SWITCH_CONFIG));
    EXPECT_EQ(readFile(TPM_XML_PATH), laidDown(TPM_CONFIG));
    EXPECT_TRUE(clishScripts().empty());
}

class PortIsolationTest : public SimulatedUnitTest {
protected:
    void SetUp() override
    {
        SimulatedUnitTest::SetUp();
        writeFile(OMCI_XML_PATH, laidDown(OMCI_CONFIG));
    }
};

TEST_F(PortIsolationTest, ReadShowsOneOnlyForTrue)
{
    struct Case {
        const char *element;
        const char *iso;
    } cases[] = {
        {"<ethPortIsolated enabled=\"true\"/>", "1"},
        {"<ethPortIsolated enabled=\"false\"/>", "0"},
        {"<ethPortIsolated enabled=\"TRUE\"/>", "0"},
        {"<ethPortIsolated enabled=\"1\"/>", "0"},
        {"<ethPortIsolated/>", "0"},
        {"", "0"},
    };
    for (const Case &c : cases) {
        writeFile(OMCI_XML_PATH, laidDown(replaced(OMCI_CONFIG, NOT_ISOLATED, c.element)));
        EXPECT_EQ(runCgi("cmd_id=24&action=0").output, jsonReply(std::string("{iso:\"") + c.iso + "\"}"))
            << c.element;
    }
    runProgram(std::string("rm -f ") + OMCI_XML_PATH);
    EXPECT_EQ(runCgi("cmd_id=24&action=0").output, jsonReply("{iso:\"0\"}"));
}

TEST_F(PortIsolationTest, WriteStoresTrueOnlyForOne)
{
    const std::string isolated = replaced(
        OMCI_CONFIG, NOT_ISOLATED, "<ethPortIsolated enabled=\"true\"></ethPortIsolated>");
    struct Case {
        const char *query;
        std::string stored;
    } cases[] = {
        {"cmd_id=24&action=1&iso=1", isolated},
        // The stored flag already says "false": the file is not rewritten.
        {"cmd_id=24&action=1&iso=0", laidDown(OMCI_CONFIG)},
        {"cmd_id=24&action=1&iso=yes", laidDown(OMCI_CONFIG)},
        {"cmd_id=24&action=1&iso=11", laidDown(OMCI_CONFIG)},
        {"cmd_id=24&action=1", laidDown(OMCI_CONFIG)},
    };
    for (const Case &c : cases) {
        writeFile(OMCI_XML_PATH, laidDown(OMCI_CONFIG));
        EXPECT_EQ(runCgi(c.query).output, jsonReply("0")) << c.query;
        EXPECT_EQ(readFile(OMCI_XML_PATH), c.stored) << c.query;
    }

    writeFile(OMCI_XML_PATH, laidDown(isolated));
    EXPECT_EQ(runCgi("cmd_id=24&action=1&iso=yes").output, jsonReply("0"));
    EXPECT_EQ(readFile(OMCI_XML_PATH),
              replaced(OMCI_CONFIG, NOT_ISOLATED,
                       "<ethPortIsolated enabled=\"false\"></ethPortIsolated>"));
    EXPECT_TRUE(clishScripts().empty());
}

TEST_F(PortIsolationTest, WriteWithoutTheFlagElementIsRefused)
{
    const std::string noFlag = replaced(OMCI_CONFIG, NOT_ISOLATED, "");
    writeFile(OMCI_XML_PATH, laidDown(noFlag));
    EXPECT_EQ(runCgi("cmd_id=24&action=1&iso=1").output, jsonReply("1"));
    EXPECT_EQ(readFile(OMCI_XML_PATH), laidDown(noFlag));
}

}  // namespace
