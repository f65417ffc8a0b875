// Bridge to the vendor command shell clish. One command becomes a script of
// four lines (context, command, an empty line, "quit") that clish reads from
// its standard input; the script file is removed after the run. Nothing about
// the outcome is reported: callers that must know consult the stores.
#ifndef ONU_WEB_CLISH_BRIDGE_H
#define ONU_WEB_CLISH_BRIDGE_H

#include <string>

#include "config/web_config_store.h"
#include "device/shell_command.h"

// Contexts, the first line of every script.
inline constexpr char CLISH_EOAM[] = "eoam";
inline constexpr char CLISH_TPM[] = "tpm";
inline constexpr char CLISH_MIDWARE[] = "midware";

// Runs `command` in `context`, discarding clish's output.
void runClish(const std::string &context, const std::string &command);
// Runs `command` in `context`, leaving clish's output in INFO_FILE_PATH.
void runClishCapture(const std::string &context, const std::string &command);

// The eoam command that sets the VLAN mode of `port`: its mode text read as a
// decimal number selects 1 transparent, 2 tag, 3 translation or 4 trunk.
// Returns 0 with the command, or -1 with an empty command for any other mode.
int vlanModeCommand(const VlanPortRecord &port, std::string &command);
// Sends vlanModeCommand's text in "eoam", an empty line for an unknown mode;
// returns vlanModeCommand's result.
int applyPortVlan(const VlanPortRecord &port);

// Asks clish for the PON FEC mode: `fecMode` becomes "1" when any output line
// holds "FEC Enabled", "0" otherwise. -1 (and `fecMode` unchanged) when the
// output cannot be read.
int getFecMode(std::string &fecMode);

#endif
