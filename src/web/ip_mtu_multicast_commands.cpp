// Management IP (6), MTU (16) and multicast mode (17) commands. They only
// change configuration files; the device picks the values up elsewhere.
// Action 0 reads, 1 writes; any other action gets no reply.
#include <string>

#include "log/log.h"
#include "web/request_process.h"

void RequestProcess::processIpSettings()
{
    if (action == 0) {
        IpInfo info;
        facade.getIpInfo(info);
        ReplyFields fields;
        fields["cur_ip"] = info.ipAddress;
        fields["ip"] = info.ipAddress;
        fields["cur_netmask"] = info.netMask;
        fields["netmask"] = info.netMask;
        reply.sendReply(HttpReply::toJson(fields));
    } else if (action == 1) {
        IpInfo info;
        info.ipAddress = params.getValue("ip");
        info.netMask = params.getValue("netmask");
        if (facade.setIpInfo(info) == 0)
            reply.sendReply("0");
        else
            reply.sendError(405, SET_IP_FAIL);
    } else {
        logTrace("processIpSettings: unknown action %d", action);
    }
}

void RequestProcess::processMtu()
{
    if (action == 0) {
        MtuInfo info;
        facade.getMtu(info);
        ReplyFields fields;
        fields["ipv4DsMtu"] = info.ipv4DsMtu;
        fields["ipv4UsMtu"] = info.ipv4UsMtu;
        fields["ipv4pppoeUsMtu"] = info.ipv4pppoeUsMtu;
        reply.sendReply(HttpReply::toJson(fields));
    } else if (action == 1) {
        MtuInfo info;
        info.mtuSettingEnable = "1";
        info.ipv4DsMtu = params.getValue("ipv4DsMtu");
        info.ipv4UsMtu = params.getValue("ipv4UsMtu");
        info.ipv4pppoeUsMtu = params.getValue("ipv4pppoeUsMtu");
        if (facade.setMtu(info) == 0)
            reply.sendReply("0");
        else
            reply.sendError(405, SET_MTU_FAIL);
    } else {
        logTrace("processMtu: unknown action %d", action);
    }
}

void RequestProcess::processMulticastMode()
{
    if (action == 0) {
        std::string mode;
        facade.getMulticastSwitch(mode);
        ReplyFields fields;
        fields["mc_mode"] = mode;
        reply.sendReply(HttpReply::toJson(fields));
    } else if (action == 1) {
        if (facade.setMulticastSwitch(params.getValue("mc_mode")) == 0)
            reply.sendReply("0");
        else
            reply.sendError(405, SET_MULTICAST_FAIL);
    } else {
        logTrace("processMulticastMode: unknown action %d", action);
    }
}
