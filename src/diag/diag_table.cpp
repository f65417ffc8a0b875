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
    {"profile-versions", showProfileVersions},
    {"chip", showChipInfo},
    {"capability", showCapability},
    {"set-multicast", setMulticastOff},
    {"get-multicast", showMulticastMode},
    {"loop-detect", showLoopDetect},
    {"set-loop-detect", setLoopDetectOn},
    {"trace-selftest", runTraceSelfTest},
    {"mtu", showMtu},
    {"set-mtu", setMtuSample},
    {"web-versions", showWebVersions},
    {"ip", showIpInfo},
    {"set-ip", setIpSample},
    {"transceiver", showTransceiver},
    {"transceiver-thresholds", showTransceiverThresholds},
    {"metrics-token", showMetricsToken},
    {"new-metrics-token", newMetricsToken},
    {"set-metrics-token", setMetricsToken},
    {"clear-metrics-token", clearMetricsToken},
    {"epon-info", showEponInfo},
    {"epon-all", showEponAll},
    {"epon-counters", showEponCounters},
};

}  // namespace

int runTraceSelfTest()
{
    logSelfTest();
    return 0;
}

DiagRoutine findDiagRoutine(const std::string &name)
{
    for (const NamedRoutine &entry : ROUTINES)
        if (name == entry.name)
            return entry.routine;
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
