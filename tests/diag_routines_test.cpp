#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "diag/diag_routines.h"

namespace {

const char MISSING[] = "/tmp/diag_missing_dir/file";

// Runs a routine and returns what it printed; its result goes to `result`.
std::string output(const std::function<int()> &routine, int &result)
{
    testing::internal::CaptureStdout();
    result = routine();
    return testing::internal::GetCapturedStdout();
}

TEST(DiagRoutinesTest, FailurePrintsOnlyTheErrorLine)
{
    EponInfoReader reader(MISSING, MISSING);
    WebConfigStore web(MISSING);
    TpmConfigStore tpm(MISSING);
    OnuProfileStore profile(MISSING, MISSING, MISSING);
    struct Case {
        std::function<int()> routine;
        std::string expected;
    };
    const Case cases[] = {
        {[&] { return showEponInfo(reader); }, "get onu info error \n"},
        {[&] { return showEponCounters(reader); }, "get all cnt info error \n"},
        {[&] { return showWebVersions(web); }, "get vesk comm info error \n"},
        {[&] { return showIpInfo(web); }, "get vesk comm info error \n"},
        {[&] { return setIpSample(web); }, "set ip address error \n"},
        {[&] { return showMtu(tpm); }, "get mtu settings error \n"},
        {[&] { return setMtuSample(tpm); }, "set mtu settings error \n"},
        {[&] { return showProfileVersions(profile); }, "get onu serial error \n"},
        {[&] { return showChipInfo(profile); }, "get onu chip info error \n"},
        {[&] { return showCapability(profile); }, "get onu chip info error \n"},
        {[&] { return setMulticastOff(profile); }, "set multicast type error \n"},
        {[&] { return showMulticastMode(profile); }, "get multicast type error \n"},
    };
    for (const Case &c : cases) {
        int result = 0;
        EXPECT_EQ(output(c.routine, result), c.expected);
        EXPECT_EQ(result, -1) << c.expected;
    }

    int result = 0;
    EXPECT_EQ(output([&] { return showEponAll(reader); }, result),
              "get onu info error \nget all cnt info error \n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(output([&] { return showLoopDetect(profile); }, result),
              "port = 0 detect = \nport = 1 detect = \nport = 2 detect = \nport = 3 detect = \n");
    EXPECT_EQ(result, -1);
}

TEST(DiagRoutinesTest, NamesAndUsage)
{
    const char *names[] = {"profile-versions", "chip", "capability", "set-multicast", "get-multicast",
                           "loop-detect", "set-loop-detect", "trace-selftest", "mtu", "set-mtu",
                           "web-versions", "ip", "set-ip", "transceiver", "epon-info", "epon-all",
                           "epon-counters"};
    std::string usage = diagUsage();
    for (const char *name : names) {
        EXPECT_NE(findDiagRoutine(name), nullptr) << name;
        EXPECT_NE(usage.find(std::string(" ") + name), std::string::npos) << name;
    }
    EXPECT_EQ(findDiagRoutine(""), nullptr);
    EXPECT_EQ(findDiagRoutine("epon"), nullptr);
    EXPECT_EQ(findDiagRoutine("EPON-INFO"), nullptr);
    EXPECT_EQ(usage.rfind("usage: onu-diag NAME", 0), 0u);

    int result = -2;
    EXPECT_EQ(output(findDiagRoutine("trace-selftest"), result), "");
    EXPECT_EQ(result, 0);
}

}  // namespace
