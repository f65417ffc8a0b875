// Switch port settings (23) and port isolation (24) inside the simulated unit.

#include "e2e_support.h"

namespace {

std::string tpmScript(const std::string &workMode, const std::string &flowControl)
{
    return script("tpm", "config\nport autoneg 0 WAN true " + workMode + "\nport fc 0 WAN " + flowControl + "\n");
}

using PortConfigTest = SimulatedUnitTest;

TEST_F(PortConfigTest, SwitchPortsAreListedAndWrittenThenAppliedToTheWanPort)
{
    const char *web = WEB_XML_PATH, *tpm = TPM_XML_PATH, *flowOff = "<enabled>0<";
    const std::string port0 = "flow_control=\"1\" auto_neg=\"0\" mode=\"2\"";
    const std::string port1 = "flow_control=\"0\" auto_neg=\"1\" mode=\"1\"";
    expectExchanges({
        {"cmd_id=23&action=0",
         jsonReply("[ {auto:\"0\",flow_control:\"1\",link:\"net_up\",mode_max:\"3\",phy:\"0\","
                   "port_id:\"0\",work_mode:\"2\"},{auto:\"1\",flow_control:\"0\",link:\"net_up\","
                   "mode_max:\"2\",phy:\"1\",port_id:\"1\",work_mode:\"1\"}]")},
        {"cmd_id=23&action=0",
         jsonReply("[ {auto:\"\",flow_control:\"\",link:\"net_up\",mode_max:\"\",phy:\"\","
                   "port_id:\"0\",work_mode:\"\"},{auto:\"1\",flow_control:\"0\",link:\"net_up\","
                   "mode_max:\"2\",phy:\"1\",port_id:\"1\",work_mode:\"1\"}]"),
         {},
         {},
         "",
         {{web, "<port phy_admin=\"0\" " + port0 + " mode_max=\"3\">", "<port>"}}},
        // Only flow control "0" exactly is off; phy_admin and mode_max stay.
        {"cmd_id=23&action=1&port=0&flow_control=0&auto=1&mode=3",
         jsonReply("0"),
         {{web, port0, "flow_control=\"0\" auto_neg=\"1\" mode=\"3\""}},
         {tpmScript("3", "false")}},
        // Any port named: the shell lines still address port 0.
        {"cmd_id=23&action=1&port=1&flow_control=1&auto=0&mode=4",
         jsonReply("0"),
         {{web, port1, "flow_control=\"1\" auto_neg=\"0\" mode=\"4\""}, {tpm, flowOff, "<enabled>1<"}},
         {tpmScript("4", "true")}},
        {"cmd_id=23&action=1&port=0&flow_control=00&auto=1&mode=3",
         jsonReply("0"),
         {{web, port0, "flow_control=\"00\" auto_neg=\"1\" mode=\"3\""}, {tpm, flowOff, "<enabled>00<"}},
         {tpmScript("3", "true")}},
        // Missing keys read as empty texts.
        {"cmd_id=23&action=1&port=1",
         jsonReply("0"),
         {{web, port1, "flow_control=\"\" auto_neg=\"\" mode=\"\""}, {tpm, flowOff, "<enabled><"}},
         {tpmScript("", "true")}},
        // Without an `enabled` flag the traffic-processor file stays.
        {"cmd_id=23&action=1&port=1&flow_control=1&auto=0&mode=4",
         jsonReply("0"),
         {{web, port1, "flow_control=\"1\" auto_neg=\"0\" mode=\"4\""}},
         {tpmScript("4", "true")},
         "",
         {{tpm, "<enabled>0</enabled>", ""}}},
        {"cmd_id=23&action=1&port=7&flow_control=1&auto=1&mode=2", jsonReply("1  ")},
    });
}

TEST_F(PortConfigTest, IsolationIsOnlyForTrueAndOne)
{
    const char *omci = OMCI_XML_PATH;
    const std::string off = "enabled=\"false\"", on = "enabled=\"true\"";
    expectExchanges({
        {"cmd_id=24&action=0", jsonReply("{iso:\"0\"}")},
        {"cmd_id=24&action=0", jsonReply("{iso:\"1\"}"), {}, {}, "", {{omci, off, on}}},
        {"cmd_id=24&action=0", jsonReply("{iso:\"0\"}"), {}, {}, "", {{omci, off, "enabled=\"TRUE\""}}},
        {"cmd_id=24&action=1&iso=1", jsonReply("0"), {{omci, off, on}}},
        // The stored flag already says "false": the file is not rewritten.
        {"cmd_id=24&action=1&iso=0", jsonReply("0")},
        {"cmd_id=24&action=1&iso=yes", jsonReply("0"), {{omci, on, off}}, {}, "", {{omci, off, on}}},
    });
}

}  // namespace
