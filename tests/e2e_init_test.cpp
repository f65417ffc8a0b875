// onu-init inside the simulated unit: check mode and programming mode, as the
// console, the boot environment and both web configuration files show them.

#include <regex>

#include "e2e_support.h"

namespace {

const std::string START = "\n\n  ***** Init Vesk Prameters **** \n";
const std::string IP_LINE = " IP = 192.168.1.1\n";
// The image's configured MAC, also its mv_pon_addr.
const char IMAGE_MAC[] = "00:26:3E:50:11:A0";

RunResult runInit(const std::string &arguments) { return runProgram(programPath("onu-init") + arguments); }

// The first match's group 1 in the file; `absent` without a match.
std::string found(const std::string &path, const std::string &pattern, const char *absent)
{
    const std::string text = readFile(path);
    std::smatch match;
    return std::regex_search(text, match, std::regex(pattern)) ? match.str(1) : absent;
}

// The value of `name` in the boot environment; "(unset)" when absent.
std::string bootEnv(const std::string &name)
{
    return found(statePath("u-boot/env"), "(?:^|\n)" + name + "=([^\n]*)", "(unset)");
}

// The text of the first element `name`; "(none)" without one.
std::string elementText(const std::string &path, const std::string &name)
{
    return found(path, "<" + name + ">([^<]*)</" + name + ">|<" + name + "/>", "(none)");
}

using InitTest = SimulatedUnitTest;

TEST_F(InitTest, CheckModeAdoptsOrResetsTheBootEnvironmentMac)
{
    struct {
        const char *arguments, *ponMacLine, *configuredMac;
        const char *console, *fwSetenv, *reboot, *liveMac, *ponMac;
    } cases[] = {
        // Nothing to do; more than one argument is check mode too.
        {"", "mv_pon_addr=00:26:3E:50:11:A0\n", IMAGE_MAC, "", "", "", IMAGE_MAC, IMAGE_MAC},
        {" 1 2", "mv_pon_addr=00:26:3E:50:11:A0\n", IMAGE_MAC, "", "", "", IMAGE_MAC, IMAGE_MAC},
        // Adopt: byte-exact, so a change of letter case is adopted too; not validated.
        {"", "mv_pon_addr=00:11:22:33:44:66\n", "00:11:22:33:44:55", " onu mac address  = 00:11:22:33:44:66\n", "", "",
         "00:11:22:33:44:66", "00:11:22:33:44:66"},
        {"", "mv_pon_addr=00:26:3e:50:11:a0\n", IMAGE_MAC, " onu mac address  = 00:26:3e:50:11:a0\n", "", "",
         "00:26:3e:50:11:a0", "00:26:3e:50:11:a0"},
        {"", "mv_pon_addr=\n", IMAGE_MAC, " onu mac address  = \n", "", "", "", ""},
        // Reset to the configured MAC and reboot (any vendor MAC, the default among them).
        {"", "mv_pon_addr=00:50:43:12:34:56\n", IMAGE_MAC, "", "mv_pon_addr 00:26:3E:50:11:A0\n", "reboot\n", IMAGE_MAC,
         IMAGE_MAC},
        {"", "", IMAGE_MAC, "", "mv_pon_addr 00:26:3E:50:11:A0\n", "reboot\n", IMAGE_MAC, IMAGE_MAC},
        // A configured vendor MAC would bring the reset back at every boot: none.
        {"", "", "00:50:43:AA:BB:CC", "", "", "", "00:50:43:AA:BB:CC", "(unset)"},
    };
    for (const auto &c : cases) {
        resetUnit();
        replaceInFile(statePath("u-boot/env"), "mv_pon_addr=00:26:3E:50:11:A0\n", c.ponMacLine);
        replaceInFile(WEB_XML_PATH, IMAGE_MAC, c.configuredMac);
        // The address printed is the configured one.
        replaceInFile(WEB_XML_PATH, "<ipAddress>192.168.1.1<", "<ipAddress>192.168.1.10<");
        RunResult result = runInit(c.arguments);
        SCOPED_TRACE(std::string(c.arguments) + " " + c.ponMacLine + " " + c.configuredMac);
        EXPECT_EQ(result.output, START + " IP = 192.168.1.10\n" + c.console);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(standInLog("fw_printenv"), "mv_pon_addr\n");
        EXPECT_EQ(standInLog("fw_setenv"), c.fwSetenv);
        EXPECT_EQ(standInLog("reboot"), c.reboot);
        EXPECT_EQ(elementText(WEB_XML_PATH, "onu_mac"), c.liveMac);
        EXPECT_EQ(bootEnv("mv_pon_addr"), c.ponMac);
        EXPECT_FALSE(fileExists(MAC_SCRATCH_PATH));
    }
}

// A file without onu_mac is not rewritten by the adoption.
TEST_F(InitTest, CheckModeWithABrokenLiveConfiguration)
{
    replaceInFile(WEB_XML_PATH, "<onu_mac>00:26:3E:50:11:A0</onu_mac>", "");
    const std::string withoutMac = readFile(WEB_XML_PATH);
    EXPECT_EQ(runInit("").output, START + IP_LINE + "set mac address   fail\n onu mac address  = " + IMAGE_MAC + "\n");
    EXPECT_EQ(readFile(WEB_XML_PATH), withoutMac);
    EXPECT_EQ(standInLog("reboot"), "");
}

TEST_F(InitTest, ProgrammingModeWritesBootEnvironmentAndBothConfigurations)
{
    const char *cases[][4] = {
        // argument, ethaddr, serial number in both files
        {"00:11:22:33:44:55", "00:11:22:33:44:56", "001122334455"},
        // The serial number keeps the letter case as typed.
        {"aA:bB:cC:dD:eE:fF", "AA:BB:CC:DD:EF:00", "aAbBcCdDeEfF"},
    };
    for (const auto &c : cases) {
        resetUnit();
        // Every live setting gives way to the default file's.
        replaceInFile(WEB_XML_PATH, "<ipAddress>192.168.1.1<", "<ipAddress>192.168.1.10<");
        RunResult result = runInit(std::string(" ") + c[0]);
        EXPECT_EQ(result.output, START + "mv_pon_addr =" + c[0] + "\n");
        EXPECT_EQ(standInLog("fw_setenv"), std::string("mv_pon_addr ") + c[0] + "\nethaddr " + c[1] + "\n");
        EXPECT_EQ(bootEnv("mv_pon_addr"), c[0]);
        EXPECT_EQ(bootEnv("ethaddr"), c[1]);
        for (const char *path : {WEB_XML_PATH, DEFAULT_WEB_XML_PATH}) {
            EXPECT_EQ(elementText(path, "onu_mac"), c[0]) << path;
            EXPECT_EQ(elementText(path, "sn"), c[2]) << path;
        }
        EXPECT_EQ(readFile(WEB_XML_PATH), readFile(DEFAULT_WEB_XML_PATH));
        EXPECT_EQ(standInLog("reboot"), "");
    }
}

// A MAC that is not six hexadecimal pairs, configured (reached by a reset) or
// given to program, runs no command with it: no boot-environment change, no
// reboot (it would only bring the reset back), no file written; check mode
// runs only its fixed read commands. An empty MAC stands for none configured.
TEST_F(InitTest, MalformedMacRunsNoCommandWithIt)
{
    for (const char *mac : {"00:11:22:33:44:55;id", "00:11:22:33:44:55\nreboot", "00:11:22:33:44", ""}) {
        SCOPED_TRACE(mac);
        resetUnit();
        replaceInFile(statePath("u-boot/env"), "=00:26:3E:50:11:A0", "=00:50:43:02:00:00");
        replaceInFile(WEB_XML_PATH, IMAGE_MAC, mac);
        const std::string live = readFile(WEB_XML_PATH), factory = readFile(DEFAULT_WEB_XML_PATH);
        EXPECT_EQ(runInit("").output, START + IP_LINE);
        EXPECT_EQ(standInLog("system"), "fw_printenv mv_pon_addr >/tmp/mac.txt \nrm /tmp/mac.txt\n");

        writeFile(statePath("log/system.log"), "");
        EXPECT_EQ(runInit(std::string(" '") + mac + "'").output, START);
        EXPECT_EQ(standInLog("system") + standInLog("fw_setenv") + standInLog("reboot"), "");
        EXPECT_EQ(bootEnv("mv_pon_addr"), "00:50:43:02:00:00");
        EXPECT_EQ(readFile(WEB_XML_PATH) + readFile(DEFAULT_WEB_XML_PATH), live + factory);
    }
}

TEST_F(InitTest, ProgrammingModeDoesNotCopyABrokenDefaultConfiguration)
{
    replaceInFile(DEFAULT_WEB_XML_PATH, "<onu_mac>00:26:3E:50:11:A0</onu_mac>", "");
    EXPECT_EQ(runInit(" 00:11:22:33:44:55").output, START + "set mac address   fail\nmv_pon_addr =00:11:22:33:44:55\n");
    EXPECT_EQ(bootEnv("ethaddr"), "00:11:22:33:44:56");
    EXPECT_EQ(elementText(DEFAULT_WEB_XML_PATH, "onu_mac"), "(none)");
    EXPECT_EQ(elementText(WEB_XML_PATH, "onu_mac"), IMAGE_MAC);
    for (const char *path : {WEB_XML_PATH, DEFAULT_WEB_XML_PATH})
        EXPECT_EQ(elementText(path, "sn"), "001122334455") << path;
}

}  // namespace
