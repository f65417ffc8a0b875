// onu-init inside the simulated unit: check mode and programming mode, as the
// console, the boot environment and both web configuration files show them.

#include <regex>

#include "e2e_support.h"

const std::string START = "\n\n  ***** Init Vesk Prameters **** \n";
// The image's configured MAC, also its mv_pon_addr.
const std::string IMAGE_MAC = "00:26:3E:50:11:A0";
const std::string IMAGE_MAC_ELEMENT = "<onu_mac>" + IMAGE_MAC + "</onu_mac>";

// The text of the first element `name`; "(none)" without one.
static std::string elementText(const std::string &path, const std::string &name)
{
    const std::string text = readFile(path);
    std::smatch match;
    return std::regex_search(text, match, std::regex("<" + name + ">([^<]*)</" + name + ">")) ? match.str(1) : "(none)";
}

using InitTest = SimulatedUnitTest;

// The address printed is the configured one. A configured MAC that is not six
// hexadecimal pairs reaches no command; an empty one stands for none.
TEST_F(InitTest, CheckModeAdoptsOrResetsTheBootEnvironmentMac)
{
    // arguments, mv_pon_addr line, configured MAC (null: no onu_mac element), console, fw_setenv, reboot, live MAC
    const std::tuple<const char *, const char *, const char *, std::string, std::string, std::string, std::string>
        cases[] = {
            // Nothing to do; more than one argument is check mode too.
            {"", "mv_pon_addr=00:26:3E:50:11:A0\n", IMAGE_MAC.c_str(), "", "", "", IMAGE_MAC},
            {" 1 2", "mv_pon_addr=00:26:3E:50:11:A0\n", IMAGE_MAC.c_str(), "", "", "", IMAGE_MAC},
            // Adopt: byte-exact, so a change of letter case is adopted too; not validated.
            {"", "mv_pon_addr=00:11:22:33:44:66\n", "00:11:22:33:44:55", " onu mac address  = 00:11:22:33:44:66\n", "",
             "", "00:11:22:33:44:66"},
            {"", "mv_pon_addr=00:26:3e:50:11:a0\n", IMAGE_MAC.c_str(), " onu mac address  = 00:26:3e:50:11:a0\n", "",
             "", "00:26:3e:50:11:a0"},
            {"", "mv_pon_addr=\n", IMAGE_MAC.c_str(), " onu mac address  = \n", "", "", ""},
            {"", "mv_pon_addr=00:26:3E:50:11:A0\n", nullptr,
             "set mac address   fail\n onu mac address  = 00:26:3E:50:11:A0\n", "", "", "(none)"},
            // Reset to the configured MAC and reboot (any vendor MAC, the default among them).
            {"", "mv_pon_addr=00:50:43:12:34:56\n", IMAGE_MAC.c_str(), "", "mv_pon_addr 00:26:3E:50:11:A0\n",
             "reboot\n", IMAGE_MAC},
            {"", "", IMAGE_MAC.c_str(), "", "mv_pon_addr 00:26:3E:50:11:A0\n", "reboot\n", IMAGE_MAC},
            // A configured vendor MAC would bring the reset back at every boot: none.
            {"", "", "00:50:43:AA:BB:CC", "", "", "", "00:50:43:AA:BB:CC"},
            {"", "mv_pon_addr=00:50:43:02:00:00\n", "00:11:22:33:44:55;id", "", "", "", "00:11:22:33:44:55;id"},
            {"", "mv_pon_addr=00:50:43:02:00:00\n", "", "", "", "", ""},
        };
    for (const auto &[arguments, ponMacLine, configuredMac, console, fwSetenv, reboot, liveMac] : cases) {
        resetUnit();
        replaceInFile(statePath("u-boot/env"), "mv_pon_addr=00:26:3E:50:11:A0\n", ponMacLine);
        replaceInFile(WEB_XML_PATH, IMAGE_MAC_ELEMENT,
                      configuredMac ? "<onu_mac>" + std::string(configuredMac) + "</onu_mac>" : "");
        replaceInFile(WEB_XML_PATH, "<ipAddress>192.168.1.1<", "<ipAddress>192.168.1.10<");
        SCOPED_TRACE(std::string(arguments) + " " + ponMacLine + " " + (configuredMac ? configuredMac : ""));
        RunResult result = runProgram(programPath("onu-init") + arguments);
        EXPECT_EQ(result.output, START + " IP = 192.168.1.10\n" + console);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(standInLog("fw_printenv"), "mv_pon_addr\n");
        EXPECT_EQ(standInLog("fw_setenv"), fwSetenv);
        EXPECT_EQ(standInLog("reboot"), reboot);
        EXPECT_EQ(elementText(WEB_XML_PATH, "onu_mac"), liveMac);
        EXPECT_FALSE(fileExists(MAC_SCRATCH_PATH));
    }
}

// Every live setting gives way to the default file's, unless that file cannot
// take the MAC. A MAC that is not six hexadecimal pairs runs no command.
TEST_F(InitTest, ProgrammingModeWritesBootEnvironmentAndBothConfigurations)
{
    const std::string programmed = "mv_pon_addr 00:11:22:33:44:55\nethaddr 00:11:22:33:44:56\n";
    // argument, default file without onu_mac, console, fw_setenv, live and default MAC, serial number, live address
    const std::tuple<const char *, bool, std::string, std::string, std::string, std::string, std::string, std::string>
        cases[] = {
            {"00:11:22:33:44:55", false, "mv_pon_addr =00:11:22:33:44:55\n", programmed, "00:11:22:33:44:55",
             "00:11:22:33:44:55", "001122334455", "192.168.1.1"},
            // The serial number keeps the letter case as typed.
            {"aA:bB:cC:dD:eE:fF", false, "mv_pon_addr =aA:bB:cC:dD:eE:fF\n",
             "mv_pon_addr aA:bB:cC:dD:eE:fF\nethaddr AA:BB:CC:DD:EF:00\n", "aA:bB:cC:dD:eE:fF", "aA:bB:cC:dD:eE:fF",
             "aAbBcCdDeEfF", "192.168.1.1"},
            {"00:11:22:33:44:55", true, "set mac address   fail\nmv_pon_addr =00:11:22:33:44:55\n", programmed,
             IMAGE_MAC, "(none)", "001122334455", "192.168.1.10"},
            {"00:11:22:33:44:55;id", false, "", "", IMAGE_MAC, IMAGE_MAC, "00263E5011A0", "192.168.1.10"},
        };
    for (const auto &[argument, brokenDefault, console, fwSetenv, liveMac, defaultMac, serial, address] : cases) {
        SCOPED_TRACE(argument);
        resetUnit();
        replaceInFile(WEB_XML_PATH, "<ipAddress>192.168.1.1<", "<ipAddress>192.168.1.10<");
        if (brokenDefault)
            replaceInFile(DEFAULT_WEB_XML_PATH, IMAGE_MAC_ELEMENT, "");
        EXPECT_EQ(runProgram(programPath("onu-init") + " '" + argument + "'").output, START + console);
        EXPECT_EQ(standInLog("fw_setenv"), fwSetenv);
        EXPECT_EQ(standInLog("reboot"), "");
        EXPECT_EQ(elementText(WEB_XML_PATH, "onu_mac"), liveMac);
        EXPECT_EQ(elementText(DEFAULT_WEB_XML_PATH, "onu_mac"), defaultMac);
        for (const char *path : {WEB_XML_PATH, DEFAULT_WEB_XML_PATH})
            EXPECT_EQ(elementText(path, "sn"), serial) << path;
        EXPECT_EQ(elementText(WEB_XML_PATH, "ipAddress"), address);
    }
}
