// The IP (6), MTU (16) and multicast mode (17) commands inside the simulated
// unit: the read replies, and each write's reply and the file it changes.
#include <string>

#include "config/paths.h"
#include "e2e_support.h"

namespace {

// The three files, laid out around the values the commands show and set.
std::string ipConfig(const std::string &address, const std::string &netMask)
{
    return "<config>\n\t<ipInfo>\n\t\t<ipAddress>" + address + "</ipAddress>\n\t\t<netMask>" +
           netMask + "</netMask>\n\t\t<onu_mac>00:26:3E:50:11:A0</onu_mac>\n\t</ipInfo>\n</config>";
}

std::string mtuConfig(const std::string &enabled, const std::string &ds, const std::string &us,
                      const std::string &pppoeUs)
{
    return "<tpm>\n\t<mtu_setting>\n\t\t<mtu_setting_enabled>" + enabled +
           "</mtu_setting_enabled>\n\t\t<ipv4_mtu_ds>" + ds + "</ipv4_mtu_ds>\n\t\t<ipv4_mtu_us>" +
           us + "</ipv4_mtu_us>\n\t\t<ipv4_pppoe_mtu_us>" + pppoeUs +
           "</ipv4_pppoe_mtu_us>\n\t</mtu_setting>\n</tpm>";
}

std::string multicastConfig(const std::string &mode)
{
    return "<eoam>\n\t<ONU_MULTICAST>\n\t\t<oam_multicast_switch>" + mode +
           "</oam_multicast_switch>\n\t</ONU_MULTICAST>\n</eoam>";
}

const std::string WEB_CONFIG = ipConfig("192.168.1.1", "255.255.255.0");
const std::string TPM_CONFIG = mtuConfig("0", "1500", "1500", "1492");
const std::string EOAM_CONFIG = multicastConfig("0");

class IpMtuMulticastTest : public SimulatedUnitTest {
protected:
    void SetUp() override
    {
        SimulatedUnitTest::SetUp();
        layDownAll();
    }

    static void layDownAll()
    {
        writeFile(WEB_XML_PATH, laidDown(WEB_CONFIG));
        writeFile(TPM_XML_PATH, laidDown(TPM_CONFIG));
        writeFile(EOAM_XML_PATH, laidDown(EOAM_CONFIG));
    }

    static void expectAllUntouched(const std::string &query)
    {
        EXPECT_EQ(readFile(WEB_XML_PATH), laidDown(WEB_CONFIG)) << query;
        EXPECT_EQ(readFile(TPM_XML_PATH), laidDown(TPM_CONFIG)) << query;
        EXPECT_EQ(readFile(EOAM_XML_PATH), laidDown(EOAM_CONFIG)) << query;
    }
};

TEST_F(IpMtuMulticastTest, ReadsShowTheStoredValues)
{
    struct Case {
        const char *query;
        const char *stored;   // reply with the files in place
        const char *missing;  // reply without the files
    } cases[] = {
        {"cmd_id=6&action=0",
         "{cur_ip:\"192.168.1.1\",cur_netmask:\"255.255.255.0\",ip:\"192.168.1.1\","
         "netmask:\"255.255.255.0\"}",
         "{cur_ip:\"\",cur_netmask:\"\",ip:\"\",netmask:\"\"}"},
        {"cmd_id=16&action=0", "{ipv4DsMtu:\"1500\",ipv4UsMtu:\"1500\",ipv4pppoeUsMtu:\"1492\"}",
         "{ipv4DsMtu:\"\",ipv4UsMtu:\"\",ipv4pppoeUsMtu:\"\"}"},
        {"cmd_id=17&action=0", "{mc_mode:\"0\"}", "{mc_mode:\"\"}"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(runCgi(c.query).output, jsonReply(c.stored)) << c.query;
    expectAllUntouched("reads");

    runProgram(std::string("rm -f ") + WEB_XML_PATH + " " + TPM_XML_PATH + " " + EOAM_XML_PATH);
    for (const Case &c : cases)
        EXPECT_EQ(runCgi(c.query).output, jsonReply(c.missing)) << c.query;
}

TEST_F(IpMtuMulticastTest, WritesStoreTheRequestValues)
{
    struct Case {
        const char *query;
        const char *path;
        std::string stored;  // the whole file after the write
    } cases[] = {
        {"cmd_id=6&action=1&ip=10.10.10.2&netmask=255.0.0.0", WEB_XML_PATH,
         ipConfig("10.10.10.2", "255.0.0.0")},
        {"cmd_id=16&action=1&ipv4DsMtu=1400&ipv4UsMtu=1300&ipv4pppoeUsMtu=1200", TPM_XML_PATH,
         mtuConfig("1", "1400", "1300", "1200")},
        // The enabled flag is set even when no value comes with the request.
        {"cmd_id=16&action=1", TPM_XML_PATH, mtuConfig("1", "", "", "")},
        {"cmd_id=17&action=1&mc_mode=1", EOAM_XML_PATH, multicastConfig("1")},
        {"cmd_id=17&action=1&mc_mode=", EOAM_XML_PATH, multicastConfig("")},
    };
    for (const Case &c : cases) {
        layDownAll();
        EXPECT_EQ(runCgi(c.query).output, jsonReply("0")) << c.query;
        EXPECT_EQ(readFile(c.path), c.stored) << c.query;
    }
}

TEST_F(IpMtuMulticastTest, WritesOfTheStoredValuesLeaveTheFiles)
{
    const char *queries[] = {
        "cmd_id=6&action=1&ip=192.168.1.1&netmask=255.255.255.0",
        "cmd_id=17&action=1&mc_mode=0",
    };
    for (const char *query : queries) {
        EXPECT_EQ(runCgi(query).output, jsonReply("0")) << query;
        expectAllUntouched(query);
    }
}

TEST_F(IpMtuMulticastTest, RefusedWritesGetTheErrorReply)
{
    struct Case {
        const char *query;
        const char *message;
    } cases[] = {
        // Address and netmask need at least 8 characters each.
        {"cmd_id=6&action=1&ip=1.2.3.4&netmask=255.255.255.0", "set ip fail"},
        {"cmd_id=6&action=1&ip=10.10.10.2&netmask=255.0.0", "set ip fail"},
        {"cmd_id=6&action=1", "set ip fail"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(runCgi(c.query).output, errorReply(405, c.message)) << c.query;
        expectAllUntouched(c.query);
    }

    // Files without the settings' elements.
    writeFile(TPM_XML_PATH, laidDown("<tpm>\n</tpm>"));
    writeFile(EOAM_XML_PATH, laidDown("<eoam>\n\t<ONU_MULTICAST>\n\t</ONU_MULTICAST>\n</eoam>"));
    EXPECT_EQ(runCgi("cmd_id=16&action=1&ipv4DsMtu=1400&ipv4UsMtu=1300&ipv4pppoeUsMtu=1200").output,
              errorReply(405, "set mtu fail"));
    EXPECT_EQ(runCgi("cmd_id=17&action=1&mc_mode=1").output,
              errorReply(405, "set multicast mode fail"));
    EXPECT_EQ(readFile(TPM_XML_PATH), laidDown("<tpm>\n</tpm>"));
    EXPECT_EQ(readFile(EOAM_XML_PATH),
              laidDown("<eoam>\n\t<ONU_MULTICAST>\n\t</ONU_MULTICAST>\n</eoam>"));
}

TEST_F(IpMtuMulticastTest, UnknownActionsGetNoReply)
{
    const char *queries[] = {
        "cmd_id=6&action=2&ip=10.10.10.2&netmask=255.0.0.0",
        "cmd_id=16&action=2&ipv4DsMtu=1400",
        "cmd_id=17&action=2&mc_mode=1",
        "cmd_id=17&action=-1&mc_mode=1",
    };
    for (const char *query : queries) {
        RunResult result = runCgi(query);
        EXPECT_EQ(result.output, "") << query;
        EXPECT_EQ(result.status, 0) << query;
        expectAllUntouched(query);
    }
}

}  // namespace
