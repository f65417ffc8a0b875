// The VLAN command (22) inside the simulated unit: the read reply, and for a
// write the eoam script sent and the web configuration stored after it.
#include <string>
#include <vector>

#include "config/paths.h"
#include "e2e_support.h"

namespace {

const char PORT_0[] = "<port mode=\"2\" default_vid=\"100\" vid_sum=\"1\" vid_serial=\"10\">0</port>";
const char PORT_1[] = "<port mode=\"1\" default_vid=\"1\" vid_sum=\"0\" vid_serial=\"\">1</port>";

const std::string VLAN_CONFIG = std::string("<config>\n\t<vlan>\n\t\t") + PORT_0 + "\n\t\t" +
                                PORT_1 + "\n\t</vlan>\n</config>";

std::string eoamScript(const std::string &command)
{
    return "eoam\n" + command + "\n\nquit\n";
}

class VlanTest : public SimulatedUnitTest {
protected:
    void SetUp() override
    {
        SimulatedUnitTest::SetUp();
        writeFile(WEB_XML_PATH, laidDown(VLAN_CONFIG));
    }
};

TEST_F(VlanTest, ReadShowsTheFirstPortOnly)
{
    EXPECT_EQ(runCgi("cmd_id=22&action=0").output,
              jsonReply("[{def_vid:\"100\",mode:\"2\",portId:\"0\",vidSerial:\"10\"}]"));
}

TEST_F(VlanTest, ReadWithoutVlanPortsAnswersAnEmptyList)
{
    const char *configs[] = {
        "<config>\n\t<vlan>\n\t</vlan>\n</config>",
        "<config>\n</config>",
    };
    for (const char *config : configs) {
        writeFile(WEB_XML_PATH, laidDown(config));
        EXPECT_EQ(runCgi("cmd_id=22&action=0").output, jsonReply("[]")) << config;
    }
    runProgram(std::string("rm -f ") + WEB_XML_PATH);
    EXPECT_EQ(runCgi("cmd_id=22&action=0").output, jsonReply("[]"));
}

TEST_F(VlanTest, WriteSendsTheModeCommandThenStoresTheRecord)
{
    struct Case {
        const char *query;
        const char *command;
        const char *storedPort;  // the new element of the port named, or none when untouched
        const char *oldPort;
    } cases[] = {
        {"cmd_id=22&action=1&portId=1&mode=1&def_vid=5&vid_sum=0&vid_serial=",
         "port vlan transparent 1",
         "<port mode=\"1\" default_vid=\"5\" vid_sum=\"0\" vid_serial=\"\">1</port>", PORT_1},
        {"cmd_id=22&action=1&portId=1&mode=2&def_vid=100&vid_sum=0&vid_serial=",
         "port vlan tag 1  100",
         "<port mode=\"2\" default_vid=\"100\" vid_sum=\"0\" vid_serial=\"\">1</port>", PORT_1},
        {"cmd_id=22&action=1&portId=0&mode=3&def_vid=100&vid_sum=2&vid_serial=200,300",
         "port vlan translation  0  100 2  200,300",
         "<port mode=\"3\" default_vid=\"100\" vid_sum=\"2\" vid_serial=\"200,300\">0</port>", PORT_0},
        {"cmd_id=22&action=1&portId=1&mode=4&def_vid=100&vid_sum=2&vid_serial=200,300",
         "port vlan trunk  1  100   2  200,300",
         "<port mode=\"4\" default_vid=\"100\" vid_sum=\"2\" vid_serial=\"200,300\">1</port>", PORT_1},
        // The mode is read as a leading decimal number and stored as sent.
        {"cmd_id=22&action=1&portId=0&mode=+1x&def_vid=9&vid_sum=0&vid_serial=",
         "port vlan transparent 0",
         "<port mode=\"+1x\" default_vid=\"9\" vid_sum=\"0\" vid_serial=\"\">0</port>", PORT_0},
        // An empty default VLAN keeps the stored one; the other values are written as sent.
        {"cmd_id=22&action=1&portId=0&mode=2", "port vlan tag 0  ",
         "<port mode=\"2\" default_vid=\"100\" vid_sum=\"\" vid_serial=\"\">0</port>", PORT_0},
        // No port of that name: the command still goes out, the file stays.
        {"cmd_id=22&action=1&portId=7&mode=1&def_vid=1&vid_sum=0&vid_serial=",
         "port vlan transparent 7", nullptr, nullptr},
    };
    std::vector<std::string> scripts;
    for (const Case &c : cases) {
        writeFile(WEB_XML_PATH, laidDown(VLAN_CONFIG));
        EXPECT_EQ(runCgi(c.query).output, jsonReply("0")) << c.query;
        scripts.push_back(eoamScript(c.command));
        std::string expected = c.storedPort ? replaced(VLAN_CONFIG, c.oldPort, c.storedPort)
                                            : laidDown(VLAN_CONFIG);
        EXPECT_EQ(readFile(WEB_XML_PATH), expected) << c.query;
    }
    EXPECT_EQ(clishScripts(), scripts);
}

TEST_F(VlanTest, UnknownModeOrActionIsRefusedWithoutEffect)
{
    const char *queries[] = {
        "cmd_id=22&action=1&portId=0&mode=0&def_vid=5&vid_sum=0&vid_serial=",
        "cmd_id=22&action=1&portId=0&mode=5&def_vid=5&vid_sum=0&vid_serial=",
        "cmd_id=22&action=1&portId=0&mode=trunk&def_vid=5&vid_sum=0&vid_serial=",
        "cmd_id=22&action=1&portId=0&def_vid=5",
        "cmd_id=22&action=2&portId=0&mode=1&def_vid=5&vid_sum=0&vid_serial=",
        "cmd_id=22&action=-1",
    };
    for (const char *query : queries)
        EXPECT_EQ(runCgi(query).output, jsonReply("1")) << query;
    EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(VLAN_CONFIG));
    EXPECT_TRUE(clishScripts().empty());
}

TEST_F(VlanTest, WriteRefusedByTheStoreHasAlreadyConfiguredTheDevice)
{
    const std::string noVlan = "<config>\n</config>";
    writeFile(WEB_XML_PATH, laidDown(noVlan));
    EXPECT_EQ(runCgi("cmd_id=22&action=1&portId=0&mode=2&def_vid=100&vid_sum=0&vid_serial=")
                  .output,
              jsonReply("1"));
    EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(noVlan));
    EXPECT_EQ(clishScripts(), std::vector<std::string>{eoamScript("port vlan tag 0  100")});
}

}  // namespace
