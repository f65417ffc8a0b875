// Storm control and WAN rate limit (30): programmed through the traffic
// processor's sysfs command nodes, then stored in the web configuration.
#include <string>
#include <vector>

#include "config/paths.h"
#include "log/log.h"
#include "web/clish_bridge.h"
#include "web/request_process.h"

namespace {

// Storm suppression: "<code> <threshold> 0 0 0", code 1 or 2.
std::string suppression() { return std::string(" > ") + SUPPRESSION_NODE_PATH; }
// WAN rate limit: "0 <us|ds> WAN <threshold> <burst>".
std::string rateLimit() { return std::string(" > ") + RATE_LIMIT_NODE_PATH; }

// The shell commands, in order, that program the traffic processor for a
// storm mode: "0" and "1" suppression with the threshold, "2" the WAN rate
// limit in both directions, "3" everything off. Other modes need none. The
// threshold is inserted unchanged.
std::vector<std::string> stormCommands(const std::string &mode, const std::string &threshold)
{
    if (mode == "0")
        return {"echo 1  " + threshold + "  0 0 0" + suppression()};
    if (mode == "1")
        return {"echo 2  " + threshold + "  0 0 0" + suppression()};
    if (mode == "2")
        return {"echo 0 us WAN  " + threshold + " 1536" + rateLimit(),
                "echo 0 ds WAN  " + threshold + " 1536" + rateLimit()};
    if (mode == "3")
        return {std::string("echo 1 0 0 0 0") + suppression(), std::string("echo 2 0 0 0 0") + suppression(),
                std::string("echo 0 us WAN 1048568 1536") + rateLimit(),
                std::string("echo 0 ds WAN 1048568 1536") + rateLimit()};
    return {};
}

}  // namespace

void RequestProcess::processStormControl()
{
    if (action == 0) {
        std::string mode, threshold;
        if (facade.getStorm(mode, threshold) != 0) {
            reply.sendReply("[]");
            return;
        }
        ReplyFields fields;
        fields["bc_mode"] = mode;
        fields["rate"] = threshold;
        reply.sendReply("[" + HttpReply::toJson(fields) + "]");
    } else if (action == 1) {
        std::string mode = params.getValue("bs");
        std::string threshold = params.getValue("bs_thresh");
        // The device is programmed first, so a refused store leaves it changed.
        for (const std::string &command : stormCommands(mode, threshold))
            runShell(command);
        reply.sendReply(facade.setStorm(mode, threshold) == 0 ? "0" : "1");
    } else {
        logTrace("processStormControl: unknown action %d", action);
    }
}
