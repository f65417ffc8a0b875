// Switch port settings (23) and port isolation (24) inside the simulated unit.

#include "e2e_support.h"

const char *const WEB = WEB_XML_PATH, *const TPM = TPM_XML_PATH, *const OMCI = OMCI_XML_PATH;
const std::string PORT0 = "flow_control=\"1\" auto_neg=\"0\" mode=\"2\"";
const std::string PORT1 = "flow_control=\"0\" auto_neg=\"1\" mode=\"1\"";

// An acknowledged write of `values` that stores the port's settings `from` as
// `to`, the flow control flag as `flowControl` (null: unchanged), and then
// applies work mode and flow control to the WAN port.
static Exchange stored(const std::string &values, const std::string &from, const std::string &to,
                       const char *flowControl, const std::string &workMode, const std::string &wanFlowControl)
{
    std::vector<Change> changes = {{WEB, from, to}};
    if (flowControl)
        changes.push_back({TPM, "<enabled>0<", std::string("<enabled>") + flowControl + "<"});
    return {
        "cmd_id=23&action=1&" + values,
        jsonReply("0"),
        changes,
        {script("tpm", "config\nport autoneg 0 WAN true " + workMode + "\nport fc 0 WAN " + wanFlowControl + "\n")}};
}

using PortConfigTest = SimulatedUnitTest;

TEST_F(PortConfigTest, SwitchPortsAndIsolation)
{
    const std::string off = "enabled=\"false\"", on = "enabled=\"true\"";
    const std::string port1Reply =
        "{auto:\"1\",flow_control:\"0\",link:\"net_up\",mode_max:\"2\",phy:\"1\",port_id:\"1\",work_mode:\"1\"}]";
    expectExchanges({
        {"cmd_id=23&action=0", jsonReply("[ {auto:\"0\",flow_control:\"1\",link:\"net_up\",mode_max:\"3\",phy:\"0\","
                                         "port_id:\"0\",work_mode:\"2\"}," +
                                         port1Reply)},
        given({{WEB, "<port phy_admin=\"0\" " + PORT0 + " mode_max=\"3\">", "<port>"}},
              {"cmd_id=23&action=0", jsonReply("[ {auto:\"\",flow_control:\"\",link:\"net_up\",mode_max:\"\",phy:\"\","
                                               "port_id:\"0\",work_mode:\"\"}," +
                                               port1Reply)}),
        // Only flow control "0" exactly is off; phy_admin and mode_max stay.
        stored("port=0&flow_control=0&auto=1&mode=3", PORT0, "flow_control=\"0\" auto_neg=\"1\" mode=\"3\"", nullptr,
               "3", "false"),
        // Any port named: the shell lines still address port 0.
        stored("port=1&flow_control=1&auto=0&mode=4", PORT1, "flow_control=\"1\" auto_neg=\"0\" mode=\"4\"", "1", "4",
               "true"),
        stored("port=0&flow_control=00&auto=1&mode=3", PORT0, "flow_control=\"00\" auto_neg=\"1\" mode=\"3\"", "00",
               "3", "true"),
        // Missing keys read as empty texts.
        stored("port=1", PORT1, "flow_control=\"\" auto_neg=\"\" mode=\"\"", "", "", "true"),
        // Without an `enabled` flag the traffic-processor file stays.
        given({{TPM, "<enabled>0</enabled>", ""}},
              stored("port=1&flow_control=1&auto=0&mode=4", PORT1, "flow_control=\"1\" auto_neg=\"0\" mode=\"4\"",
                     nullptr, "4", "true")),
        {"cmd_id=23&action=1&port=7&flow_control=1&auto=1&mode=2", jsonReply("1  ")},
        // Isolation: only a stored "true" reads as 1, only 1 writes "true".
        {"cmd_id=24&action=0", jsonReply("{iso:\"0\"}")},
        given({{OMCI, off, on}}, {"cmd_id=24&action=0", jsonReply("{iso:\"1\"}")}),
        given({{OMCI, off, "enabled=\"TRUE\""}}, {"cmd_id=24&action=0", jsonReply("{iso:\"0\"}")}),
        {"cmd_id=24&action=1&iso=1", jsonReply("0"), {{OMCI, off, on}}},
        // The stored flag already says "false": the file is not rewritten.
        {"cmd_id=24&action=1&iso=0", jsonReply("0")},
        given({{OMCI, off, on}}, {"cmd_id=24&action=1&iso=yes", jsonReply("0"), {{OMCI, on, off}}}),
    });
}
