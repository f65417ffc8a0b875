// Storm control and WAN rate limit (command 30).
#ifndef ONU_WEB_STORM_CONTROL_COMMANDS_H
#define ONU_WEB_STORM_CONTROL_COMMANDS_H

#include <string>
#include <vector>

// The shell commands, in order, that program the traffic processor for a
// storm mode: "0" and "1" suppression with the threshold, "2" the WAN rate
// limit in both directions, "3" everything off. Other modes need none. The
// threshold is inserted unchanged.
std::vector<std::string> stormCommands(const std::string &mode, const std::string &threshold);

#endif
