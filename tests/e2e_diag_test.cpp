// onu-diag inside the simulated unit: each routine's lines with and without the
// image's files, what the writing routines change, and the usage.
#include <cstdio>

#include "e2e_support.h"

struct DiagRun {
    const char *name;
    std::string output;
    int status = 0;
};

static void expectDiag(const std::vector<DiagRun> &runs)
{
    for (const DiagRun &run : runs) {
        RunResult result = runProgram(programPath("onu-diag") + " " + run.name);
        EXPECT_EQ(result.output, run.output) << run.name;
        EXPECT_EQ(result.status, run.status) << run.name;
    }
}

const std::string EPON_INFO_LINES =
    "state = Active\netherTypee = 0x8808\nunicastMacAddr = 00:26:3E:50:11:A0\ntxLLId1 = 1\n"
    "txLLId2 = 32767\n";
const std::string EPON_COUNTER_LINES =
    "rxFcsFrames = 0\nrxShortFrames = 0\nrxLongFrames = 0\nrxDataFrames = 1523367\n"
    "rxCtrlFrames = 48233\nrxReportFrames = 0\nrxGateFrames = 301257\ntxRegisterRequestFrames = 1\n"
    "txRegisterAckFrames = 1\ntxReportFrames = 301254\ntxDataFrames = 1490012\n"
    "txByteAllow = 218806528\nswTxTotalFrames = 1490013\nswTxErorFrames = 0\n"
    "swRxTotalFrames = 1871601\nswRxErrorFrames = 0\nswRegAckFrames = 1\nswRegNackFrames = 0\n"
    "swRegDeRegFrames = 0\nswRegReRegFrams = 0\n";

using ConsoleDiagnosticsTest = SimulatedUnitTest;

// The reading routines print the image, then the writing routines change it;
// then the routines run without the unit's files.
TEST_F(ConsoleDiagnosticsTest, RoutinesPrintChangeAndFail)
{
    expectDiag({
        {"profile-versions", "hardware version: HW1.0\nsoftware version: V1.2.7\nvendor: VESK\nmodel: EP1S\n"},
        {"chip", "chip Id: 5645\nchip model: 6601\nchip revision: 02\nchip icdata: 2023/05/18\n"},
        {"capability", "ge number:  1\nge bitmap:  0x01\nfe nubmer:  0\nfe bitmap Lsb: 0x00\nfe bitmap msb: 0x00\n"
                       "dsq Number: 8\nmax dsq Number: 8\nusq Number: 8\nmax usq Number: 8\nbattery backup: 0\n"
                       "onu type: SFU\n"},
        {"get-multicast", "get multicast type =  0\n"},
        {"loop-detect", "port = 0 detect = 2\nport = 1 detect = 2\nport = 2 detect = 2\nport = 3 detect = 2\n"},
        {"mtu", "mtuInfo.mtuSettingEnable = 1\nmtuInfo.ipv4DsMtu = 1500\nmtuInfo.ipv4UsMtu = 1500\n"
                "mtuInfo.ipv4pppoeUsMtu = 1492\n"},
        {"web-versions", "info.softwareVersion = V1.2.7\ninfo.model = EP-1001S\ninfo.vendor = VESK\n"},
        {"ip", "info.ipAddress = 192.168.1.1\ninfo.netMask = 255.255.255.0\n"},
        {"transceiver", "temperature = 10573\nsupplyVoltage = 32900\ntxBiasCurrent = 6250\n"
                        "txOpticalPower = 18000\nrxReceivedPower = 141\n"},
        {"epon-info", EPON_INFO_LINES},
        {"epon-counters", EPON_COUNTER_LINES},
        {"epon-all", EPON_INFO_LINES + EPON_COUNTER_LINES},
        {"trace-selftest", ""},
        // An unknown or missing name shows the usage on standard error.
        {"", "", 2},
        {"bogus", "", 2},
        {"epon-info extra", "", 2},
        {"EPON-INFO", "", 2},
    });
    const std::string usage = runProgram(programPath("onu-diag") + " 2>&1").output;
    EXPECT_EQ(usage.rfind("usage: onu-diag NAME", 0), 0u) << usage;
    EXPECT_NE(usage.find(" epon-counters\n"), std::string::npos) << usage;

    replaceInFile(EOAM_XML_PATH, "<oam_multicast_switch>0<", "<oam_multicast_switch>1<");

    const std::string allOne = "port = 0 detect = 1\nport = 1 detect = 1\nport = 2 detect = 1\nport = 3 detect = 1\n";
    expectDiag({
        {"set-multicast", ""},
        {"set-loop-detect", allOne},
        {"set-mtu", ""},
        {"set-ip", ""},
        {"get-multicast", "get multicast type =  0\n"},
        {"loop-detect", allOne},
        {"mtu", "mtuInfo.mtuSettingEnable = 1\nmtuInfo.ipv4DsMtu = 2000\nmtuInfo.ipv4UsMtu = 1999\n"
                "mtuInfo.ipv4pppoeUsMtu = 888\n"},
        {"ip", "info.ipAddress = 192.0.0.0\ninfo.netMask = 255.255.255.255\n"},
    });

    // Without the unit's files each routine prints only its error line (ip and
    // capability print those of web-versions and chip).
    for (const std::string &path : std::vector<std::string>{
             WEB_XML_PATH, TPM_XML_PATH, EOAM_XML_PATH, ONU_PROFILE_XML_PATH, DEFAULT_ONU_PROFILE_XML_PATH,
             EPON_INFO_PATH, EPON_COUNTERS_PATH, statePath("i2c-0/0x51.hex")})
        ASSERT_EQ(std::remove(path.c_str()), 0) << path;
    expectDiag({
        {"epon-info", "get onu info error \n", 1},
        {"epon-counters", "get all cnt info error \n", 1},
        {"epon-all", "get onu info error \nget all cnt info error \n", 0},
        {"web-versions", "get vesk comm info error \n", 1},
        {"set-ip", "set ip address error \n", 1},
        {"mtu", "get mtu settings error \n", 1},
        {"set-mtu", "set mtu settings error \n", 1},
        {"profile-versions", "get onu serial error \n", 1},
        {"chip", "get onu chip info error \n", 1},
        {"set-multicast", "set multicast type error \n", 1},
        {"get-multicast", "get multicast type error \n", 1},
        {"loop-detect", "port = 0 detect = \nport = 1 detect = \nport = 2 detect = \nport = 3 detect = \n", 1},
        {"transceiver", "temperature = 0\nsupplyVoltage = 0\ntxBiasCurrent = 0\ntxOpticalPower = 0\n"
                        "rxReceivedPower = 0\n"},
    });
}
