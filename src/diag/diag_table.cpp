// The routines by their command-line names.
#include <string>

#include "diag/diag_routines.h"
#include "log/log.h"

namespace {

struct NamedRoutine {
    const char *name;
    DiagRoutine routine;
};

const NamedRoutine ROUTINES[] = {
    {"profile-versions", [] { return showProfileVersions(); }},
    {"chip", [] { return showChipInfo(); }},
    {"capability", [] { return showCapability(); }},
    {"set-multicast", [] { return setMulticastOff(); }},
    {"get-multicast", [] { return showMulticastMode(); }},
    {"loop-detect", [] { return showLoopDetect(); }},
    {"set-loop-detect", [] { return setLoopDetectOn(); }},
    {"trace-selftest", runTraceSelfTest},
    {"mtu", [] { return showMtu(); }},
    {"set-mtu", [] { return setMtuSample(); }},
    {"web-versions", [] { return showWebVersions(); }},
    {"ip", [] { return showIpInfo(); }},
    {"set-ip", [] { return setIpSample(); }},
    {"transceiver", [] { return showTransceiver(); }},
    {"transceiver-thresholds", [] { return showTransceiverThresholds(); }},
    {"metrics-token", [] { return showMetricsToken(); }},
    {"new-metrics-token", [] { return newMetricsToken(); }},
    {"set-metrics-token", [] { return setMetricsToken(); }},
    {"clear-metrics-token", [] { return clearMetricsToken(); }},
    {"epon-info", [] { return showEponInfo(); }},
    {"epon-all", [] { return showEponAll(); }},
    {"epon-counters", [] { return showEponCounters(); }},
};

}  // namespace

int runTraceSelfTest()
{
    logSelfTest();
    return 0;
}

DiagRoutine findDiagRoutine(const std::string &name)
{
    for (const NamedRoutine &entry : ROUTINES) {
        if (name == entry.name) {
            return entry.routine;
        }
    }
    return nullptr;
}

std::string diagUsage()
{
    std::string usage = "usage: onu-diag NAME, NAME one of:";
    for (const NamedRoutine &entry : ROUTINES) {
        usage += ' ';
        usage += entry.name;
    }
    return usage;
}
