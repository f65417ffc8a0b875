#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/web_config_store.h"
#include "config_test_files.h"

namespace {

const char WEB_CONFIG[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<vesk_config>
  <commInfo>
    <vendor>VESK</vendor><model>ONU-1GE</model><softwareVersion>V1.2</softwareVersion>
  </commInfo>
  <ipInfo>
    <ipAddress>192.168.1.1</ipAddress><netMask>255.255.255.0</netMask>
    <onu_mac>00:11:22:33:44:55</onu_mac>
  </ipInfo>
  <account><admin>adminpw</admin><user>userpw</user></account>
  <vlan>
    <port mode="1" default_vid="100" vid_sum="2" vid_serial="10,20">1</port>
    <port default_vid="200" vid_sum="0" vid_serial="">2</port>
    <port mode="3" default_vid="300" vid_sum="1" vid_serial="30">3</port>
  </vlan>
  <onu>
    <fec_mode>1</fec_mode><fec_ability>0</fec_ability><auth_mode>2</auth_mode><sn>ABCD1234</sn>
    <loid password="secret">loid01</loid>
  </onu>
  <switch>
    <port phy_admin="1" flow_control="0" auto_neg="1" mode="4" mode_max="5">1</port>
    <port phy_admin="0" mode="2">2</port>
  </switch>
  <mac_aging_time>
    <eth_port>1</eth_port><eth_port time="300">1</eth_port><eth_port time="600">2</eth_port>
  </mac_aging_time>
  <storm><port mode="1" bs_thresh="64"/><port mode="9" bs_thresh="99"/></storm>
</vesk_config>
)";

bool contains(const std::string &file, const std::string &piece)
{
    return readFile(file).find(piece) != std::string::npos;
}

class WebConfigStoreTest : public ::testing::Test {
protected:
    WebConfigStoreTest() : file(folder.write("web.xml", WEB_CONFIG)), store(file) {}

    WebConfigStore storeOn(const std::string &content)
    {
        return WebConfigStore(folder.write("other.xml", content));
    }

    TempFolder folder;
    std::string file;
    WebConfigStore store;
};

TEST_F(WebConfigStoreTest, ReadsLeaveFieldsOfMissingElements)
{
    CommInfo comm{"", "", "", "keep"};
    ASSERT_EQ(0, store.getCommInfo(comm));
    EXPECT_EQ(
        (std::vector<std::string>{"VESK", "ONU-1GE", "V1.2", "keep"}),
        (std::vector<std::string>{comm.vendor, comm.model, comm.softwareVersion, comm.onuId}));

    WebConfigStore partial = storeOn("<c><ipInfo><onu_mac>aa</onu_mac></ipInfo><account/>"
                                     "<onu><loid>L</loid></onu><storm><port/></storm></c>");
    IpInfo ip{"keep", "keep", ""};
    EXPECT_EQ(0, partial.getIpInfo(ip));
    EXPECT_EQ("keep", ip.ipAddress);
    EXPECT_EQ("aa", ip.onuMac);
    std::string admin = "keep";
    EXPECT_EQ(0, partial.getAdminPassword(admin));
    EXPECT_EQ("keep", admin);
    LoidInfo loid{"", "keep"};
    EXPECT_EQ(0, partial.getLoid(loid));
    EXPECT_EQ("L", loid.loid);
    EXPECT_EQ("keep", loid.password);
    std::string mode = "m", threshold = "t";
    EXPECT_EQ(0, partial.getStorm(mode, threshold));
    EXPECT_EQ("m", mode);
    EXPECT_EQ("t", threshold);

    FecInfo fec{"", "keep"};
    EXPECT_EQ(-1, storeOn("<c><onu><fec_mode>1</fec_mode></onu></c>").getFecInfo(fec));
    EXPECT_EQ("1", fec.fecMode);  // filled before the missing fec_ability fails
    EXPECT_EQ("keep", fec.fecAbility);
}

TEST_F(WebConfigStoreTest, AccountPassword)
{
    std::string password = "keep";
    EXPECT_EQ(-1, store.getAccountPassword("guest", password));
    EXPECT_EQ("keep", password);
    EXPECT_EQ(0, store.getAccountPassword("admin", password));
    EXPECT_EQ("adminpw", password);
}

TEST_F(WebConfigStoreTest, SetIpInfoValidatesAndSkipsEqualValues)
{
    EXPECT_EQ(-1, store.setIpInfo({"1.2.3.4", "255.255.255.0", ""}));
    EXPECT_EQ(-1, store.setIpInfo({"10.0.0.10", "255.0.0", ""}));
    EXPECT_EQ(0, store.setIpInfo({"192.168.1.1", "255.255.255.0", "ignored"}));
    EXPECT_TRUE(untouched(file));

    EXPECT_EQ(0, store.setIpInfo({"10.0.0.10", "255.0.0.0", "ignored"}));
    EXPECT_TRUE(contains(file, "<ipAddress>10.0.0.10</ipAddress><netMask>255.0.0.0</netMask>\n"
                               "    <onu_mac>00:11:22:33:44:55</onu_mac>"));

    WebConfigStore noMask = storeOn("<c><ipInfo><ipAddress>1.1.1.1</ipAddress></ipInfo></c>");
    testing::internal::CaptureStdout();
    EXPECT_EQ(-1, noMask.setIpInfo({"10.0.0.10", "255.0.0.0", ""}));
    EXPECT_EQ(-1, noMask.setOnuMac("00:00:00:00:00:01"));
    EXPECT_EQ("set ip address type  error\nset mac address   fail\n",
              testing::internal::GetCapturedStdout());
}

TEST_F(WebConfigStoreTest, SetOnuMacRewritesEvenWhenEqual)
{
    EXPECT_EQ(0, store.setOnuMac("00:11:22:33:44:55"));
    EXPECT_FALSE(untouched(file));
}

TEST_F(WebConfigStoreTest, TextWritesSkipEqualValues)
{
    struct Case {
        int (WebConfigStore::*set)(const std::string &);
        const char *stored;
    };
    const Case cases[] = {
        {&WebConfigStore::setAuthMode, "2"},
        {&WebConfigStore::setOnuSn, "ABCD1234"},
        {&WebConfigStore::setAdminPassword, "adminpw"},
        {&WebConfigStore::setUserPassword, "userpw"},
        {&WebConfigStore::setFecMode, "1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        std::string path = folder.write("case.xml", WEB_CONFIG);
        WebConfigStore caseStore(path);
        EXPECT_EQ(0, (caseStore.*c.set)(c.stored));
        EXPECT_TRUE(untouched(path));
        EXPECT_EQ(0, (caseStore.*c.set)("a<&b"));
        EXPECT_TRUE(contains(path, "a&lt;&amp;b"));
    }
    std::string sn;
    EXPECT_EQ(0, store.setOnuSn("a<&b"));
    EXPECT_EQ(0, store.getOnuSn(sn));
    EXPECT_EQ("a<&b", sn);
}

TEST_F(WebConfigStoreTest, VlanPorts)
{
    std::vector<VlanPortRecord> ports(5);
    ASSERT_EQ(0, store.getVlanPorts(ports));
    ASSERT_EQ(3u, ports.size());
    const VlanPortRecord &second = ports[1];
    // The second port lacks `mode` and repeats the first port's.
    EXPECT_EQ((std::vector<std::string>{"2", "1", "200", "0", ""}),
              (std::vector<std::string>{second.port, second.mode, second.defaultVid, second.vidSum,
                                        second.vidSerial}));
    EXPECT_EQ("3", ports[2].mode);

    EXPECT_EQ(0, store.setVlanPort({"9", "1", "1", "1", "1"}));
    EXPECT_TRUE(untouched(file));
    EXPECT_EQ(0, store.setVlanPort({"3", "2", "", "", "40,41"}));
    EXPECT_TRUE(contains(
        file, R"(<port mode="2" default_vid="300" vid_sum="" vid_serial="40,41">3</port>)"));
    EXPECT_EQ(0, store.setVlanPort({"2", "0", "5", "0", ""}));
    EXPECT_TRUE(
        contains(file, R"(<port default_vid="5" vid_sum="0" vid_serial="" mode="0">2</port>)"));
}

TEST_F(WebConfigStoreTest, SwitchPorts)
{
    std::vector<SwitchPortRecord> ports(2);
    ports[0].port = "kept";
    ASSERT_EQ(0, store.getSwitchPorts(ports));
    ASSERT_EQ(4u, ports.size());
    EXPECT_EQ("kept", ports[0].port);
    EXPECT_EQ("5", ports[2].modeMax);
    const SwitchPortRecord &second = ports[3];
    // Fields start empty for every port: nothing carries over.
    EXPECT_EQ((std::vector<std::string>{"2", "0", "", "", "2", ""}),
              (std::vector<std::string>{second.port, second.phyAdmin, second.flowControl,
                                        second.autoNeg, second.mode, second.modeMax}));

    EXPECT_EQ(-1, store.setSwitchPort({"9", "1", "1", "1", "1", "1"}));
    EXPECT_TRUE(untouched(file));
    EXPECT_EQ(0, store.setSwitchPort({"2", "1", "1", "0", "3", "7"}));
    EXPECT_TRUE(
        contains(file, R"(<port phy_admin="1" mode="3" flow_control="1" auto_neg="0">2</port>)"));
}

TEST_F(WebConfigStoreTest, MacAgingTime)
{
    std::string time;
    EXPECT_EQ(0, store.getMacAgingTime("1", time));
    EXPECT_EQ("300", time);  // the first port 1 has no time
    EXPECT_EQ(-1, store.getMacAgingTime("3", time));

    EXPECT_EQ(0, store.setMacAgingTime("2", "600"));
    EXPECT_TRUE(untouched(file));
    EXPECT_EQ(-1, store.setMacAgingTime("3", "10"));
    EXPECT_EQ(0, store.setMacAgingTime("1", "900"));  // the first port 1 gains a time
    EXPECT_TRUE(contains(file, R"(<eth_port time="900">1</eth_port><eth_port time="300">)"));
}

TEST_F(WebConfigStoreTest, SetStormWritesThresholdOnlyWhenGiven)
{
    EXPECT_EQ(0, store.setStorm("2", ""));
    EXPECT_TRUE(contains(file, R"(<storm><port mode="2" bs_thresh="64"></port>)"));
    EXPECT_EQ(0, store.setStorm("3", "128"));
    EXPECT_TRUE(contains(file, R"(<port mode="3" bs_thresh="128"></port><port mode="9")"));
}

// Missing, empty, unparsable or truncated files: every operation fails and writes nothing.
TEST_F(WebConfigStoreTest, MissingFileOrSectionFails)
{
    const std::string contents[] = {"", "<c/>", "not xml", "<c><vlan/><switch/><account><adm"};
    for (const std::string &content : contents) {
        SCOPED_TRACE(content);
        std::string path = folder.write("sections.xml", content);
        for (const std::string &target : {path, folder.path + "/missing.xml"}) {
            WebConfigStore s(target);
            CommInfo comm;
            IpInfo ip;
            FecInfo fec;
            LoidInfo loid;
            std::string text;
            std::vector<VlanPortRecord> vlan;
            std::vector<SwitchPortRecord> ports;
            const int results[] = {
                s.getCommInfo(comm),
                s.getIpInfo(ip),
                s.setIpInfo({"10.0.0.10", "255.0.0.0", ""}),
                s.setOnuMac("00:00:00:00:00:01"),
                s.setUserPassword("x"),
                s.getVlanPorts(vlan),
                s.setVlanPort({"1", "1", "1", "1", "1"}),
                s.getFecInfo(fec),
                s.setFecMode("1"),
                s.getOnuSn(text),
                s.getLoid(loid),
                s.setLoid(loid),
                s.getSwitchPorts(ports),
                s.setSwitchPort({"1", "1", "1", "1", "1", "1"}),
                s.getMacAgingTime("1", text),
                s.setMacAgingTime("1", "1"),
                s.getStorm(text, text),
                s.setStorm("1", "1"),
            };
            for (int result : results) {
                EXPECT_EQ(-1, result);
            }
            EXPECT_TRUE(text.empty() && vlan.empty() && ports.empty() && comm.vendor.empty());
        }
        EXPECT_TRUE(untouched(path));
    }
}

}  // namespace
