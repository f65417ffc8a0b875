// The unit's tools and scripts are driven by fixed shell command texts, run
// one at a time in a fixed order.
#ifndef ONU_DEVICE_SHELL_COMMAND_H
#define ONU_DEVICE_SHELL_COMMAND_H

#include <string>

// Runs one shell command with system(); its exit status is dropped, as the
// unit's tools report nothing their callers act on.
void runShell(const std::string &command);

#endif
