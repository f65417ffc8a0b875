// Console diagnostics: stand-alone routines that call one store or device
// reader and print what it returns, one "label value" line each, on standard
// output. A routine whose operation fails prints only its error line.
// Results: 0, or -1 when the operation failed.
#ifndef ONU_DIAG_DIAG_ROUTINES_H
#define ONU_DIAG_DIAG_ROUTINES_H

#include <string>

#include "config/onu_profile_store.h"
#include "config/paths.h"
#include "config/tpm_config_store.h"
#include "config/web_config_store.h"
#include "device/epon_info_reader.h"
#include "web/metrics_token_store.h"

// ONU profile and EOAM settings.
int showProfileVersions();
int showChipInfo();
int showCapability();
// Sets the multicast mode to "0".
int setMulticastOff();
int showMulticastMode();
// Ports "0" to "3"; -1 when any port failed.
int showLoopDetect();
// Sets loop detection of ports "0" to "3" to "1"; -1 when any port failed.
int setLoopDetectOn();

// Traffic processor.
int showMtu();
// Writes the sample MTU settings 1, 2000, 1999 and 888.
int setMtuSample();

// Web configuration.
int showWebVersions();
int showIpInfo();
// Writes the sample address 192.0.0.0 with mask 255.255.255.255.
int setIpSample();

// Device readings; the transceiver routine prints raw values.
int showTransceiver();
// The transceiver's raw thresholds, then its flags (0 or 1).
int showTransceiverThresholds();
int showEponInfo();
int showEponCounters();
// The information, then the counters; always 0.
int showEponAll();

// The metrics bearer token: shown, replaced by a new random one (shown),
// set to the line on standard input, or removed (bearer access off).
int showMetricsToken();
int newMetricsToken();
int setMetricsToken();
int clearMetricsToken();

// Runs the trace hook's self-test, which prints nothing; always 0.
int runTraceSelfTest();

// onu-diag NAME: runs the routine called NAME. 0 when its operation
// succeeded, 1 when it failed, 2 for an unknown name (the names are shown).
int runDiag(int argc, char **argv);

// The routine called `name` on the command line of onu-diag, or null.
using DiagRoutine = int (*)();
DiagRoutine findDiagRoutine(const std::string &name);
// "usage: onu-diag NAME" with the routine names.
std::string diagUsage();

#endif
