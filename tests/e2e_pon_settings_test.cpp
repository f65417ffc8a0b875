// The PON settings page (command 5) inside the simulated unit: the read side, and
// the files, clish scripts and shell commands of the write side.

#include "e2e_support.h"

// A write request with every key; `extra` adds or overrides keys. The lookup takes the first occurrence of a key text
// anywhere, also inside a longer key, so overrides go in front and "loid" and "password" before "gpon_loid" and
// "gpon_password", as the page sends them.
static std::string writeRequest(const std::string &extra)
{
    return "cmd_id=5&action=1&" + extra +
           "&sn=SN0001&loid=helo99&password=lp01&ponSerialNum=ABCD00000001&ponPassword=pwd1234567&gpon_loid=gl01"
           "&gpon_password=gp01&vendor_id=ACME&onu_model=M2&hard_ver=H2&soft_ver=S2&auth_mode=1&fec_mode=1";
}

using PonSettingsTest = SimulatedUnitTest;

// Serial source 1 derives the serial number from the MAC, when it has the colon form.
TEST_F(PonSettingsTest, ReadShowsTheStoredIdentity)
{
    const std::string image =
        "{auth_mode:\"0\",ctc_switch:\"1\",cur_mac:\"00:26:3E:50:11:A0\",fec_mode:\"0\","
        "gpon_loid:\"EP1001S0001\",gpon_password:\"12345678\",loid:\"EP1001S0001\",password:\"12345678\","
        "ponPassword:\"0000000000\",ponSerialNum:\"VESK3E5011A0\",sn:\"00263E5011A0\"}";
    EXPECT_EQ(runCgi("cmd_id=5&action=0").output, jsonReply(image));
    EXPECT_EQ(runCgi("cmd_id=5").output, jsonReply(image));

    replaceInFile(GPON_XML_PATH, "VESK3E5011A0", "ABCD12345678");
    EXPECT_NE(runCgi("cmd_id=5&action=0").output.find("ponSerialNum:\"ABCD12345678\""), std::string::npos);

    replaceInFile(GPON_XML_PATH, "<PON_serial_src>0<", "<PON_serial_src>1<");
    EXPECT_NE(runCgi("cmd_id=5&action=0").output.find("ponSerialNum:\"ABCD3E5011A0\""), std::string::npos);
    EXPECT_NE(readFile(GPON_XML_PATH).find("ABCD12345678"), std::string::npos);

    replaceInFile(WEB_XML_PATH, "00:26:3E:50:11:A0", "00263E5011A0");
    EXPECT_NE(runCgi("cmd_id=5&action=0").output.find("ponSerialNum:\"ABCD12345678\""), std::string::npos);
}

TEST_F(PonSettingsTest, WriteStoresAppliesAndReregisters)
{
    EXPECT_EQ(runCgi(writeRequest("x=1")).output, jsonReply("0"));

    const std::string stored =
        readFile(GPON_XML_PATH) + readFile(OMCI_XML_PATH) + readFile(WEB_XML_PATH) + readFile(ONU_PROFILE_XML_PATH);
    for (const char *text : {"<PON_serial_num>ABCD00000001<", "<PON_passwd>pwd1234567<", "loid=\"gl01\"",
                             "password=\"gp01\"", "<sn>SN0001<", ">hABC99</loid>", "password=\"lp01\"", "<auth_mode>1<",
                             "<fec_mode>1<", "\"ACME\"", "\"M2\"", "\"H2\"", "\"S2\""})
        EXPECT_NE(stored.find(text), std::string::npos) << text;
    EXPECT_EQ(clishScripts(),
              (std::vector<std::string>{
                  script("eoam", "pon fec_mode enable"), script("midware", "reset_table_data epon_auth"),
                  script("midware", "update_entry onu_info index_key=0,vendor_id=ACME,onu_model=M2,hw_ver=H2,"
                                    "sw_ver=S2")}));
    const std::string reregister = std::string("echo -1 0x18124 0x20 0 > ") + SWITCH_REGISTER_PATH +
                                   "\necho -1 0x18124 0x20 1 > " + SWITCH_REGISTER_PATH + "\n";
    EXPECT_EQ(standInLog("system"), BRIDGE_COMMANDS + BRIDGE_COMMANDS + BRIDGE_COMMANDS + reregister);
}

// The first script follows the FEC mode; auth_mode 0 restores the factory
// profile, whose identity the third script then sends.
TEST_F(PonSettingsTest, ScriptsFollowTheFecAndAuthModes)
{
    const std::tuple<std::string, size_t, std::string> cases[] = {
        {"fec_mode=0", 0, script("eoam", "pon fec_mode disable")},
        {"fec_mode=2", 0, script("eoam", "onu loid hABC99  lp01")},
        {"fec_mode=&loid=ELOELO&password=p w", 0, script("eoam", "onu loid ABCELO  p w")},
        {"auth_mode=0", 2,
         script("midware", "update_entry onu_info index_key=0,vendor_id=VESK,onu_model=EP1S,"
                           "hw_ver=HW1.0,sw_ver=V1.2.7")},
    };
    for (const auto &[extra, index, expected] : cases) {
        resetUnit();
        replaceInFile(ONU_PROFILE_XML_PATH, "value=\"HW1.0\"", "value=\"HW-LIVE\"");
        EXPECT_EQ(runCgi(writeRequest(extra)).output, jsonReply("0")) << extra;
        std::vector<std::string> scripts = clishScripts();
        ASSERT_EQ(scripts.size(), 3u) << extra;
        EXPECT_EQ(scripts[index], expected);
        EXPECT_EQ(readFile(ONU_PROFILE_XML_PATH) == readFile(DEFAULT_ONU_PROFILE_XML_PATH), index == 2) << extra;
    }
}

TEST_F(PonSettingsTest, RefusedWebConfigWriteAnswersOneBeforeAnyCommand)
{
    // The element removed, and what stays stored anyway.
    const std::pair<const char *, std::vector<const char *>> cases[] = {
        {"<sn>00263E5011A0</sn>", {"ABCD00000001"}},
        {"<loid password=\"12345678\">EP1001S0001</loid>", {"ABCD00000001", "<sn>SN0001<"}},
        {"<fec_mode>0</fec_mode>", {"<sn>SN0001<", ">hABC99</loid>", "<auth_mode>1<", "\"ACME\""}},
    };
    for (const auto &[removed, written] : cases) {
        resetUnit();
        replaceInFile(WEB_XML_PATH, removed, "");
        EXPECT_EQ(runCgi(writeRequest("x=1")).output, jsonReply("1")) << removed;
        EXPECT_EQ(standInLog("system"), "") << removed;
        std::string stored = readFile(GPON_XML_PATH) + readFile(WEB_XML_PATH) + readFile(ONU_PROFILE_XML_PATH);
        for (const char *text : written)
            EXPECT_NE(stored.find(text), std::string::npos) << removed << ": " << text;
    }
}
