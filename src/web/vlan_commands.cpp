// VLAN mode of the user port (22): shown from the web configuration, set by
// sending the mode's eoam command first and storing the record after.
#include <string>
#include <vector>

#include "log/log.h"
#include "web/clish_bridge.h"
#include "web/request_process.h"

void RequestProcess::processVlan()
{
    if (action == 0) {
        std::vector<VlanPortRecord> ports;
        if (facade.getVlanPorts(ports) != 0 || ports.empty()) {
            reply.sendReply("[]");
            return;
        }
        const VlanPortRecord &port = ports.front();
        ReplyFields fields;
        fields["portId"] = port.port;
        fields["mode"] = port.mode;
        fields["def_vid"] = port.defaultVid;
        fields["vidSerial"] = port.vidSerial;
        reply.sendReply("[" + HttpReply::toJson(fields) + "]");
    } else if (action == 1) {
        VlanPortRecord port;
        port.port = params.getValue("portId");
        port.mode = params.getValue("mode");
        port.defaultVid = params.getValue("def_vid");
        port.vidSum = params.getValue("vid_sum");
        port.vidSerial = params.getValue("vid_serial");

        std::string command;
        if (vlanModeCommand(port, command) != 0) {
            logTrace("processVlan: unknown mode %s", port.mode.c_str());
            reply.sendReply("1");
            return;
        }
        // The device is set even when the store then refuses the record.
        runClish(CLISH_EOAM, command);
        reply.sendReply(facade.setVlanPort(port) == 0 ? "0" : "1");
    } else {
        reply.sendReply("1");
    }
}
