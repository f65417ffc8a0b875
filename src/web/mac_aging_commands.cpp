// The MAC aging time of the user port (port 0, UNI_0 in the command shell):
// stored in the web configuration, then applied through clish.
#include <string>

#include "log/log.h"
#include "web/clish_bridge.h"
#include "web/request_process.h"

void RequestProcess::processMacAging()
{
    if (action == 0) {
        std::string time;
        if (facade.getMacAgingTime("0", time) != 0) {
            reply.sendReply("1");
            return;
        }
        ReplyFields fields;
        fields["aging_time"] = time;
        reply.sendReply(HttpReply::toJson(fields));
    } else if (action == 1) {
        std::string time = params.getValue("age_time");
        if (facade.setMacAgingTime("0", time) != 0) {
            reply.sendReply(SET_AGING_FAIL_REPLY);
            return;
        }
        runClish(CLISH_EOAM, "port mac_aging_time 0 UNI_0 " + time);
        reply.sendReply(" 0");
    } else {
        logTrace("processMacAging: unknown action %d", action);
    }
}
