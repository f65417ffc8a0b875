#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/web_config_store.h"
#include "config_test_files.h"

namespace {

const char WEB_CONFIG[] = R"(<c>
  <commInfo><vendor>VESK</vendor><model>ONU-1GE</model><softwareVersion>V1.2</softwareVersion></commInfo>
  <ipInfo><ipAddress>192.168.1.1</ipAddress><netMask>255.255.255.0</netMask>
    <onu_mac>00:11:22:33:44:55</onu_mac></ipInfo>
  <account><admin>adminpw</admin><user>userpw</user></account>
  <vlan>
    <port mode="1" default_vid="100" vid_sum="2" vid_serial="10,20">1</port>
    <port default_vid="200" vid_sum="0" vid_serial="">2</port>
    <port mode="3" default_vid="300" vid_sum="1" vid_serial="30">3</port>
  </vlan>
  <onu><fec_mode>1</fec_mode><auth_mode>2</auth_mode><sn>ABCD1234</sn><loid password="p">loid01</loid></onu>
  <switch>
    <port phy_admin="1" flow_control="0" auto_neg="1" mode="4" mode_max="5">1</port>
    <port phy_admin="0" mode="2">2</port>
  </switch>
</c>)";

class WebConfigStoreTest : public ::testing::Test {
protected:
    WebConfigStoreTest() : file(folder.write("web.xml", WEB_CONFIG)), store(file) {}

    TempFolder folder;
    std::string file;
    WebConfigStore store;
};

// A read fills what it finds and leaves the fields of missing elements.
TEST_F(WebConfigStoreTest, ReadsLeaveFieldsOfMissingElements)
{
    CommInfo comm{"", "", "", "keep"};
    ASSERT_EQ(0, store.getCommInfo(comm));
    EXPECT_EQ((std::vector<std::string>{"VESK", "ONU-1GE", "V1.2", "keep"}),
              (std::vector<std::string>{comm.vendor, comm.model, comm.softwareVersion, comm.onuId}));
    IpInfo ip{"keep", "keep", ""};
    LoidInfo loid{"", "keep"};
    std::string admin = "keep", mode = "m", threshold = "t";
    WebConfigStore partial(folder.write("partial.xml", "<c><ipInfo><onu_mac>aa</onu_mac></ipInfo><account/>"
                                                       "<onu><loid>L</loid></onu><storm><port/></storm></c>"));
    EXPECT_EQ(0, partial.getIpInfo(ip));
    EXPECT_EQ(0, partial.getAdminPassword(admin));
    EXPECT_EQ(0, partial.getLoid(loid));
    EXPECT_EQ(0, partial.getStorm(mode, threshold));
    EXPECT_EQ((std::vector<std::string>{"keep", "keep", "aa", "keep", "L", "keep", "m", "t"}),
              (std::vector<std::string>{ip.ipAddress, ip.netMask, ip.onuMac, admin, loid.loid,
                                        loid.password, mode, threshold}));
    // fec_mode is filled before the missing fec_ability fails the read.
    FecInfo fec{"", "keep"};
    EXPECT_EQ(-1, store.getFecInfo(fec));
    EXPECT_EQ("1", fec.fecMode);
    EXPECT_EQ("keep", fec.fecAbility);
}

// Text writes share one path (skipping an equal value is pinned with the PON
// store): here the escaping. The MAC is saved even when equal; writes without
// their element say so on the console, as the initializer shows it.
TEST_F(WebConfigStoreTest, Writes)
{
    std::string sn;
    EXPECT_EQ(0, store.setOnuMac("00:11:22:33:44:55"));
    EXPECT_FALSE(untouched(file));
    EXPECT_EQ(0, store.setOnuSn("a<&b"));
    EXPECT_TRUE(contains(file, "<sn>a&lt;&amp;b</sn>"));
    EXPECT_EQ(0, store.getOnuSn(sn));
    EXPECT_EQ("a<&b", sn);
    WebConfigStore noMask(folder.write("other.xml", "<c><ipInfo><ipAddress>1.1.1.1</ipAddress></ipInfo></c>"));
    testing::internal::CaptureStdout();
    EXPECT_EQ(-1, noMask.setIpInfo({"10.0.0.10", "255.0.0.0", ""}));
    EXPECT_EQ(-1, noMask.setOnuMac("00:00:00:00:00:01"));
    EXPECT_EQ("set ip address type  error\nset mac address   fail\n", testing::internal::GetCapturedStdout());
}

TEST_F(WebConfigStoreTest, PortLists)
{
    // A VLAN port without `mode` repeats the previous port's; a write adds it.
    std::vector<VlanPortRecord> vlan(5);
    ASSERT_EQ(0, store.getVlanPorts(vlan));
    ASSERT_EQ(3u, vlan.size());
    EXPECT_EQ((std::vector<std::string>{"2", "1", "200", "0", ""}),
              (std::vector<std::string>{vlan[1].port, vlan[1].mode, vlan[1].defaultVid, vlan[1].vidSum,
                                        vlan[1].vidSerial}));
    EXPECT_EQ("3", vlan[2].mode);
    EXPECT_EQ(0, store.setVlanPort({"2", "0", "5", "0", ""}));
    EXPECT_TRUE(contains(file, R"(<port default_vid="5" vid_sum="0" vid_serial="" mode="0">2</port>)"));

    // Switch ports are appended to the list (missing attributes reading empty
    // is pinned end to end); a write sets phy_admin, flow_control, auto_neg
    // and mode, adding the missing ones.
    std::vector<SwitchPortRecord> ports(2);
    ports[0].port = "kept";
    ASSERT_EQ(0, store.getSwitchPorts(ports));
    ASSERT_EQ(4u, ports.size());
    EXPECT_EQ("kept", ports[0].port);
    EXPECT_EQ((std::vector<std::string>{"2", "0", "2"}),
              (std::vector<std::string>{ports[3].port, ports[3].phyAdmin, ports[3].mode}));
    EXPECT_EQ(0, store.setSwitchPort({"2", "1", "1", "0", "3", "7"}));
    EXPECT_TRUE(contains(file, R"(<port phy_admin="1" mode="3" flow_control="1" auto_neg="0">2</port>)"));
}

}  // namespace
