// onu-diag inside the simulated unit: the lines every routine prints from the
// image's files, what the writing routines change, and the usage line.
#include <cstdio>
#include <string>

#include "e2e_support.h"

namespace {

const char EOAM_CONFIG[] = "/etc/xml_params/eoam_xml_cfg_file.xml";
const char INFO_EPON[] = "/sys/devices/platform/epon/info/infoEpon";

RunResult diag(const std::string &arguments)
{
    return runProgram(programPath("onu-diag") + " " + arguments);
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

TEST_F(ConsoleDiagnosticsTest, ReadingRoutinesPrintTheImage)
{
    const std::pair<const char *, std::string> cases[] = {
        {"profile-versions", "hardware version: HW1.0\nsoftware version: V1.2.7\nvendor: VESK\nmodel: EP1S\n"},
        {"chip", "chip Id: 5645\nchip model: 6601\nchip revision: 02\nchip icdata: 2023/05/18\n"},
        {"capability",
         "ge number:  1\nge bitmap:  0x01\nfe nubmer:  0\nfe bitmap Lsb: 0x00\nfe bitmap msb: 0x00\n"
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
    };
    for (const auto &c : cases) {
        RunResult result = diag(c.first);
        EXPECT_EQ(result.output, c.second) << c.first;
        EXPECT_EQ(result.status, 0) << c.first;
    }
}

TEST_F(ConsoleDiagnosticsTest, WritingRoutinesChangeTheStores)
{
    std::string eoam = readFile(EOAM_CONFIG);
    eoam.replace(eoam.find("<oam_multicast_switch>0<"), 24, "<oam_multicast_switch>1<");
    writeFile(EOAM_CONFIG, eoam);

    const std::pair<const char *, std::string> writes[] = {
        {"set-multicast", ""},
        {"set-loop-detect", "port = 0 detect = 1\nport = 1 detect = 1\nport = 2 detect = 1\nport = 3 detect = 1\n"},
        {"set-mtu", ""},
        {"set-ip", ""},
    };
    for (const auto &w : writes) {
        RunResult result = diag(w.first);
        EXPECT_EQ(result.output, w.second) << w.first;
        EXPECT_EQ(result.status, 0) << w.first;
    }
    EXPECT_EQ(diag("get-multicast").output, "get multicast type =  0\n");
    EXPECT_EQ(diag("loop-detect").output,
              "port = 0 detect = 1\nport = 1 detect = 1\nport = 2 detect = 1\nport = 3 detect = 1\n");
    EXPECT_EQ(diag("mtu").output, "mtuInfo.mtuSettingEnable = 1\nmtuInfo.ipv4DsMtu = 2000\n"
                                  "mtuInfo.ipv4UsMtu = 1999\nmtuInfo.ipv4pppoeUsMtu = 888\n");
    EXPECT_EQ(diag("ip").output, "info.ipAddress = 192.0.0.0\ninfo.netMask = 255.255.255.255\n");
}

TEST_F(ConsoleDiagnosticsTest, FailuresPrintTheErrorLine)
{
    ASSERT_EQ(std::remove(INFO_EPON), 0);
    RunResult result = diag("epon-info");
    EXPECT_EQ(result.output, "get onu info error \n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(diag("epon-all").output, "get onu info error \n" + EPON_COUNTER_LINES);

    ASSERT_EQ(std::remove(statePath("i2c-0/0x51.hex").c_str()), 0);
    EXPECT_EQ(diag("transceiver").output, "temperature = 0\nsupplyVoltage = 0\ntxBiasCurrent = 0\n"
                                          "txOpticalPower = 0\nrxReceivedPower = 0\n");
}

TEST_F(ConsoleDiagnosticsTest, UnknownOrMissingNameShowsUsage)
{
    for (const char *arguments : {"", "bogus", "epon-info extra", "EPON-INFO"}) {
        RunResult result = diag(std::string(arguments) + " 2>&1");
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(result.output.rfind("usage: onu-diag NAME", 0), 0u) << arguments;
        EXPECT_NE(result.output.find(" epon-counters\n"), std::string::npos) << result.output;
    }
    EXPECT_EQ(diag("bogus 2>/dev/null").output, "");
}

}  // namespace
