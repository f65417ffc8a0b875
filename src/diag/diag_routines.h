// Console diagnostics: stand-alone routines that call one store or device
// reader and print what it returns, one "label value" line each, on standard
// output. A routine whose operation fails prints only its error line.
// Each takes its component as an argument, the unit's own by default, so the
// printing can be checked against stores and files in a temporary folder.
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
int showProfileVersions(OnuProfileStore &store = *OnuProfileStore::getInstance());
int showChipInfo(OnuProfileStore &store = *OnuProfileStore::getInstance());
int showCapability(OnuProfileStore &store = *OnuProfileStore::getInstance());
// Sets the multicast mode to "0".
int setMulticastOff(OnuProfileStore &store = *OnuProfileStore::getInstance());
int showMulticastMode(OnuProfileStore &store = *OnuProfileStore::getInstance());
// Ports "0" to "3"; -1 when any port failed.
int showLoopDetect(OnuProfileStore &store = *OnuProfileStore::getInstance());
// Sets loop detection of ports "0" to "3" to "1"; -1 when any port failed.
int setLoopDetectOn(OnuProfileStore &store = *OnuProfileStore::getInstance());

// Traffic processor.
int showMtu(TpmConfigStore &store = *TpmConfigStore::getInstance());
// Writes the sample MTU settings 1, 2000, 1999 and 888.
int setMtuSample(TpmConfigStore &store = *TpmConfigStore::getInstance());

// Web configuration.
int showWebVersions(WebConfigStore &store = *WebConfigStore::getInstance());
int showIpInfo(WebConfigStore &store = *WebConfigStore::getInstance());
// Writes the sample address 192.0.0.0 with mask 255.255.255.255.
int setIpSample(WebConfigStore &store = *WebConfigStore::getInstance());

// Device readings; the transceiver routine prints raw values.
int showTransceiver(const std::string &busPath = I2C_BUS_PATH);
// The transceiver's raw thresholds, then its flags (0 or 1).
int showTransceiverThresholds(const std::string &busPath = I2C_BUS_PATH);
int showEponInfo(EponInfoReader &reader = *EponInfoReader::getInstance());
int showEponCounters(EponInfoReader &reader = *EponInfoReader::getInstance());
// The information, then the counters; always 0.
int showEponAll(EponInfoReader &reader = *EponInfoReader::getInstance());

// The metrics bearer token: shown, replaced by a new random one (shown),
// set to the line on standard input, or removed (bearer access off).
int showMetricsToken(const std::string &tokenPath = METRICS_TOKEN_PATH);
int newMetricsToken(const std::string &tokenPath = METRICS_TOKEN_PATH);
int setMetricsToken(const std::string &tokenPath = METRICS_TOKEN_PATH);
int clearMetricsToken(const std::string &tokenPath = METRICS_TOKEN_PATH);

// Runs the trace hook's self-test, which prints nothing; always 0.
int runTraceSelfTest();

// The routine called `name` on the command line of onu-diag, or null.
using DiagRoutine = int (*)();
DiagRoutine findDiagRoutine(const std::string &name);
// "usage: onu-diag NAME" with the routine names.
std::string diagUsage();

#endif
