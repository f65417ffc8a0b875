// User port commands: the status summary and loop detection. The user port
// is port 0, UNI_0 in the command shell.
#include <string>
#include <vector>

#include "log/log.h"
#include "web/clish_bridge.h"
#include "web/request_process.h"

namespace {

// The EOAM file keeps loop detection as "1" (off) and "2" (on); the web
// pages use "0" (off) and "1" (on).
std::string loopDetectToStored(const std::string &webValue) { return webValue == "0" ? "1" : "2"; }

std::string loopDetectToWeb(const std::string &storedValue) { return storedValue == "1" ? "0" : "1"; }

}  // namespace

void RequestProcess::processPortList()
{
    ReplyFields fields;
    fields["link"] = "1";
    fields["admin_status"] = "1";

    // Only the first record of each list describes the user port; an empty
    // list leaves its keys empty.
    std::vector<VlanPortRecord> vlanPorts;
    facade.getVlanPorts(vlanPorts);
    VlanPortRecord vlan = vlanPorts.empty() ? VlanPortRecord() : vlanPorts.front();
    fields["VlanInfo_mode"] = vlan.mode;
    fields["default_vid"] = vlan.defaultVid;
    fields["VlanInfo_serial"] = vlan.vidSerial;

    std::string loopDetect;
    facade.getLoopDetect("0", loopDetect);
    fields["loop_detect"] = loopDetectToWeb(loopDetect);

    std::vector<SwitchPortRecord> switchPorts;
    facade.getSwitchPorts(switchPorts);
    SwitchPortRecord port = switchPorts.empty() ? SwitchPortRecord() : switchPorts.front();
    fields["auto_neg"] = port.autoNeg;
    fields["link_rate"] = port.mode;
    fields["pause"] = port.flowControl;

    std::string multicastMode;
    facade.getMulticastSwitch(multicastMode);
    fields["mc_mode"] = multicastMode;
    std::string groupNum;
    facade.getMulticastGroupNum(groupNum);
    fields["max_igmp_group"] = groupNum;

    fields["fast_leave"] = "0";
    fields["mc_tag_oper"] = "0";
    reply.sendReply("[" + HttpReply::toJson(fields) + "]");
}

void RequestProcess::processLoopDetect()
{
    if (action == 0) {
        // Reads always show the user port, whatever port a write named.
        std::string stored;
        facade.getLoopDetect("0", stored);
        reply.sendReply("[{loop_detect:\"" + loopDetectToWeb(stored) + "\"}]");
    } else if (action == 1) {
        std::string port = params.getValue("port");
        std::string stored = loopDetectToStored(params.getValue("loop_detect"));
        if (facade.setLoopDetect(port, stored) == 0)
            reply.sendReply("0");
        else
            reply.sendError(405, "set port loopdetect fail");
    } else {
        logTrace("processLoopDetect: unknown action %d", action);
    }
}
