// The IP (6), MTU (16) and multicast mode (17) commands inside the simulated unit.

#include "e2e_support.h"

static std::string mtu(const char *enabled, const char *ds, const char *us, const char *pppoeUs)
{
    return std::string("<mtu_setting_enabled>") + enabled + "</mtu_setting_enabled><ipv4_mtu_ds>" + ds +
           "</ipv4_mtu_ds><ipv4_mtu_us>" + us + "</ipv4_mtu_us><ipv4_pppoe_mtu_us>" + pppoeUs + "<";
}

using IpMtuMulticastTest = SimulatedUnitTest;

TEST_F(IpMtuMulticastTest, ReadsShowAndWritesStoreTheRequestValues)
{
    const char *web = WEB_XML_PATH, *tpm = TPM_XML_PATH, *eoam = EOAM_XML_PATH;
    const std::string address = "<ipAddress>192.168.1.1</ipAddress><netMask>255.255.255.0<";
    const std::string mtuSet = mtu("0", "1500", "1500", "1492");
    const std::string multicast = "<oam_multicast_switch>1<";
    const std::string ipFail = errorReply(405, "set ip fail");
    expectExchanges({
        {"cmd_id=6&action=0", jsonReply("{cur_ip:\"192.168.1.1\",cur_netmask:\"255.255.255.0\","
                                        "ip:\"192.168.1.1\",netmask:\"255.255.255.0\"}")},
        {"cmd_id=16&action=0", jsonReply("{ipv4DsMtu:\"1500\",ipv4UsMtu:\"1500\",ipv4pppoeUsMtu:\"1492\"}")},
        {"cmd_id=17&action=0", jsonReply("{mc_mode:\"1\"}")},
        {"cmd_id=6&action=1&ip=10.10.10.2&netmask=255.0.0.0",
         jsonReply("0"),
         {{web, address, "<ipAddress>10.10.10.2</ipAddress><netMask>255.0.0.0<"}}},
        {"cmd_id=16&action=1&ipv4DsMtu=1400&ipv4UsMtu=1300&ipv4pppoeUsMtu=1200",
         jsonReply("0"),
         {{tpm, mtuSet, mtu("1", "1400", "1300", "1200")}}},
        // The enabled flag is set even when no value comes with the request; the
        // file is saved even when nothing changes.
        {"cmd_id=16&action=1", jsonReply("0"), {{tpm, mtuSet, mtu("1", "", "", "")}}},
        given(
            {{tpm, mtuSet, mtu("1", "1500", "1500", "1492")}},
            {"cmd_id=16&action=1&ipv4DsMtu=1500&ipv4UsMtu=1500&ipv4pppoeUsMtu=1492", jsonReply("0"), {{tpm, "", ""}}}),
        {"cmd_id=17&action=1&mc_mode=0", jsonReply("0"), {{eoam, multicast, "<oam_multicast_switch>0<"}}},
        {"cmd_id=17&action=1&mc_mode=", jsonReply("0"), {{eoam, multicast, "<oam_multicast_switch><"}}},
        // The stored values again: the files stay.
        {"cmd_id=6&action=1&ip=192.168.1.1&netmask=255.255.255.0", jsonReply("0")},
        {"cmd_id=17&action=1&mc_mode=1", jsonReply("0")},
        // Address and netmask need at least 8 characters each.
        {"cmd_id=6&action=1&ip=1.2.3.4&netmask=255.255.255.0", ipFail},
        {"cmd_id=6&action=1&ip=10.10.10.2&netmask=255.0.0", ipFail},
    });
}
