// Ethernet port commands: switch port settings (23) and port isolation (24).
#include <string>
#include <vector>

#include "log/log.h"
#include "web/clish_bridge.h"
#include "web/request_process.h"

namespace {

// The tpm script that applies a port's work mode and flow control. It always
// addresses port 0, the WAN port, whatever port the request names.
std::string portSettingsCommand(const std::string &workMode, const std::string &flowControl)
{
    return "config\n"
           "port autoneg 0 WAN true " +
           workMode +
           "\n"
           "port fc 0 WAN " +
           (flowControl == "0" ? "false" : "true") + "\n";
}

// The administrative state stored for `port`, empty when the port is unknown.
// The request carries none, but the store writes it with the other settings.
std::string storedPhyAdmin(ConfigFacade &facade, const std::string &port)
{
    std::vector<SwitchPortRecord> ports;
    facade.getSwitchPorts(ports);
    for (const SwitchPortRecord &stored : ports)
        if (stored.port == port)
            return stored.phyAdmin;
    return "";
}

}  // namespace

void RequestProcess::processPortConfig()
{
    if (action == 0) {
        std::vector<SwitchPortRecord> ports;
        facade.getSwitchPorts(ports);
        std::string body = "[ ";
        for (const SwitchPortRecord &port : ports) {
            ReplyFields fields;
            fields["link"] = "net_up";
            fields["port_id"] = port.port;
            fields["phy"] = port.phyAdmin;
            fields["auto"] = port.autoNeg;
            fields["flow_control"] = port.flowControl;
            fields["work_mode"] = port.mode;
            fields["mode_max"] = port.modeMax;
            body += HttpReply::toJson(fields) + ",";
        }
        // Turns the last "," into "]", or the blank into "]" when there is no port.
        body.back() = ']';
        reply.sendReply(body);
    } else if (action == 1) {
        SwitchPortRecord port;
        port.port = params.getValue("port");
        port.phyAdmin = storedPhyAdmin(facade, port.port);
        port.flowControl = params.getValue("flow_control");
        port.autoNeg = params.getValue("auto");
        port.mode = params.getValue("mode");
        if (facade.setSwitchPort(port) != 0) {
            reply.sendReply(SET_PORT_FAIL_REPLY);
            return;
        }
        // The traffic processor's copy may be missing, but a change that
        // cannot be saved is not acknowledged.
        const int unsavedBefore = facade.unsavedWrites();
        facade.setFlowControl(port.flowControl);
        if (facade.unsavedWrites() != unsavedBefore) {
            reply.sendReply(SET_PORT_FAIL_REPLY);
            return;
        }
        runClish(CLISH_TPM, portSettingsCommand(port.mode, port.flowControl));
        reply.sendReply("0");
    } else {
        logTrace("processPortConfig: unknown action %d", action);
    }
}

void RequestProcess::processPortIsolation()
{
    if (action == 0) {
        std::string enabled;
        facade.getPortIsolation(enabled);
        ReplyFields fields;
        fields["iso"] = enabled == "true" ? "1" : "0";
        reply.sendReply(HttpReply::toJson(fields));
    } else if (action == 1) {
        std::string enabled = params.getValue("iso") == "1" ? "true" : "false";
        reply.sendReply(facade.setPortIsolation(enabled) == 0 ? "0" : "1");
    } else {
        logTrace("processPortIsolation: unknown action %d", action);
    }
}
