// What no command shows of the web configuration store: reads leave the fields of missing elements, the VLAN list
// is replaced and a port without a mode takes the previous port's, switch ports are appended to the caller's list,
// the MAC is saved even when equal, and an address write without its element says so on the console.

#include "config/web_config_store.h"
#include "unit_support.h"

TEST(WebConfigStoreTest, ReadsAndWrites)
{
    TempFolder folder;
    WebConfigStore sparse(folder.write("sparse.xml",
                                       "<c><ipInfo><onu_mac>aa</onu_mac></ipInfo><account/><onu>"
                                       "<fec_mode>1</fec_mode><loid>L</loid></onu><storm><port/></storm></c>"));
    IpInfo ip{"keep", "keep", ""};
    LoidInfo loid{"", "keep"};
    FecInfo fec{"", "keep"};
    std::string admin = "keep", mode = "m", threshold = "t";
    EXPECT_EQ(0, sparse.getIpInfo(ip));
    EXPECT_EQ(0, sparse.getAdminPassword(admin));
    EXPECT_EQ(0, sparse.getLoid(loid));
    EXPECT_EQ(0, sparse.getStorm(mode, threshold));
    EXPECT_EQ(-1, sparse.getFecInfo(fec));  // fec_mode is filled before the missing fec_ability fails
    EXPECT_EQ((std::vector<std::string>{"keep", "keep", "aa", "keep", "L", "keep", "m", "t", "1", "keep"}),
              (std::vector<std::string>{ip.ipAddress, ip.netMask, ip.onuMac, admin, loid.loid, loid.password, mode,
                                        threshold, fec.fecMode, fec.fecAbility}));

    const std::string file = folder.write("web.xml", "<c><ipInfo><ipAddress>1.1.1.1</ipAddress><onu_mac>00:11:22:33:"
                                                     "44:55</onu_mac></ipInfo><vlan><port mode=\"3\">1</port><port>2"
                                                     "</port></vlan><switch><port>1</port></switch></c>");
    WebConfigStore store(file);
    std::vector<VlanPortRecord> vlan(5);
    ASSERT_EQ(0, store.getVlanPorts(vlan));
    ASSERT_EQ(2u, vlan.size());
    EXPECT_EQ((std::vector<std::string>{"2", "3"}), (std::vector<std::string>{vlan[1].port, vlan[1].mode}));
    std::vector<SwitchPortRecord> ports(1);
    ports[0].port = "kept";
    ASSERT_EQ(0, store.getSwitchPorts(ports));
    EXPECT_EQ((std::vector<std::string>{"kept", "1"}), (std::vector<std::string>{ports[0].port, ports[1].port}));
    EXPECT_EQ(0, store.setOnuMac("00:11:22:33:44:55"));
    EXPECT_FALSE(untouched(file));
    testing::internal::CaptureStdout();
    EXPECT_EQ(-1, store.setIpInfo({"10.0.0.10", "255.0.0.0", ""}));
    EXPECT_EQ("set ip address type  error\n", testing::internal::GetCapturedStdout());
}
