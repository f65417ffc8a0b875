// The read-only device pages inside the simulated unit: ONU information (2),
// optical module (3) and PON counters (8), against the image's configuration,
// sysfs texts and transceiver memory.
#include <cstdio>
#include <string>

#include "e2e_support.h"

namespace {

const char INFO_EPON[] = "/sys/devices/platform/epon/info/infoEpon";
const char ALL_CNT[] = "/sys/devices/platform/epon/pm/allCnt";
const char LIVE_PROFILE[] = "/etc/xml_params/onu_profile_xml_cfg_file.xml";
const char DEFAULT_PROFILE[] = "/var/vesk/xml_default/onu_profile_xml_cfg_file.xml";
const char WEB_CONFIG[] = "/var/vesk/website/www/xml/vesk_xml_cfg_file.xml";
const char DEGREES[] = " \xE2\x84\x83";

void replaceInFile(const std::string &path, const std::string &from, const std::string &to)
{
    std::string text = readFile(path);
    size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " in " << path;
    writeFile(path, text.replace(at, from.size(), to));
}

using InfoPagesTest = SimulatedUnitTest;

const std::string IMAGE_ONU_INFO =
    "{afec_ability:\"1\",app_ver:\"V1.2.7\",capabi_battery_backup:\"0\",capabi_ds_que_num:\"8\","
    "capabi_fe_bitmap:\"0x00\",capabi_fe_num:\"0\",capabi_ge_bitmap:\"0x01\",capabi_ge_num:\"1\","
    "capabi_max_ds_queue:\"8\",capabi_max_us_queue:\"8\",capabi_pots_num:\"0\","
    "capabi_service_supported:\"GE\",capabi_us_que_num:\"8\",chipset_chip_model:\"6601\","
    "chipset_ic_ver:\"2023/05/18\",chipset_rev:\"02\",chipset_vendor_id:\"5645\",fec_mode:\"0\","
    "llid:\"1\",onu_fm_ver:\"01.02.07\",onu_hw_ver:\"HW1.0\",onu_id:\"00263E5011A0\","
    "onu_ip:\"192.168.1.1\",onu_mac:\"00:26:3E:50:11:A0\",onu_model:\"EP1S\","
    "onu_netmask:\"255.255.255.0\",onu_soft_ver:\"V1.2.7\",onu_vendor_id:\"VESK\",reg_st:\"1\","
    "type:\"EP-1001S\"}";

TEST_F(InfoPagesTest, OnuInfoAnswersEveryRequestInFull)
{
    for (const char *query : {"cmd_id=2", "cmd_id=2&action=0", "cmd_id=2&action=1&type=x&llid=9"}) {
        RunResult result = runCgi(query);
        EXPECT_EQ(result.output, jsonReply(IMAGE_ONU_INFO)) << query;
        EXPECT_EQ(result.status, 0);
    }
}

TEST_F(InfoPagesTest, OnuInfoWithEverySourceMissing)
{
    for (const char *path : {INFO_EPON, LIVE_PROFILE, DEFAULT_PROFILE, WEB_CONFIG}) {
        ASSERT_EQ(std::remove(path), 0) << path;
    }
    EXPECT_EQ(runCgi("cmd_id=2").output,
              jsonReply("{afec_ability:\"\",app_ver:\"\",capabi_battery_backup:\"\",capabi_ds_que_num:\"\","
                    "capabi_fe_bitmap:\"\",capabi_fe_num:\"\",capabi_ge_bitmap:\"\",capabi_ge_num:\"\","
                    "capabi_max_ds_queue:\"\",capabi_max_us_queue:\"\",capabi_pots_num:\"\","
                    "capabi_service_supported:\"GE\",capabi_us_que_num:\"\",chipset_chip_model:\"\","
                    "chipset_ic_ver:\"\",chipset_rev:\"\",chipset_vendor_id:\"\",fec_mode:\"\","
                    "llid:\"\",onu_fm_ver:\"\",onu_hw_ver:\"\",onu_id:\"\",onu_ip:\"\",onu_mac:\"\","
                    "onu_model:\"\",onu_netmask:\"\",onu_soft_ver:\"\",onu_vendor_id:\"\",reg_st:\"0\","
                    "type:\"\"}"));
}

TEST_F(InfoPagesTest, OnlyExactlyActiveIsRegistered)
{
    const std::pair<std::string, std::string> cases[] = {
        {"[st ] Active 0x8808 m 1 5 6.\n", "reg_st:\"1\""},
        {"[st ] ACTIVE 0x8808 m 1 5 6.\n", "reg_st:\"0\""},
        {"[st ] active 0x8808 m 1 5 6.\n", "reg_st:\"0\""},
        {"[st ] Active\t 0x8808 m 1 5 6.\n", "reg_st:\"0\""},
        {"[st ] Inactive 0x8808 m 1 5 6.\n", "reg_st:\"0\""},
        {"", "reg_st:\"0\""},
    };
    for (const auto &c : cases) {
        writeFile(INFO_EPON, c.first);
        std::string output = runCgi("cmd_id=2").output;
        EXPECT_NE(output.find(c.second), std::string::npos) << c.first;
        EXPECT_NE(output.find(c.first.empty() ? "llid:\"\"" : "llid:\"5\""), std::string::npos) << c.first;
    }
}

TEST_F(InfoPagesTest, OnuIdentityComesFromTheFactoryProfile)
{
    replaceInFile(LIVE_PROFILE, "\"ONU vendor name\" value=\"VESK\"", "\"ONU vendor name\" value=\"LIVE\"");
    replaceInFile(LIVE_PROFILE, "value=\"HW1.0\"", "value=\"HW9.9\"");
    replaceInFile(LIVE_PROFILE, "value=\"0x010207\"", "value=\"0x0309\"");
    replaceInFile(LIVE_PROFILE, "value=\"0x6601\"", "value=\"0x7701\"");
    replaceInFile(LIVE_PROFILE, "\"Maximum upstream queue per port\" value=\"8\"",
                  "\"Maximum upstream queue per port\" value=\"4\"");
    replaceInFile(WEB_CONFIG, "00:26:3E:50:11:A0", "00:26:3E");
    std::string output = runCgi("cmd_id=2").output;
    for (const char *expected : {"onu_vendor_id:\"VESK\"", "onu_hw_ver:\"HW1.0\"", "onu_fm_ver:\"03.09\"",
                                 "chipset_chip_model:\"7701\"", "capabi_us_que_num:\"4\"",
                                 "capabi_max_us_queue:\"4\"", "onu_id:\"00263E\""}) {
        EXPECT_NE(output.find(expected), std::string::npos) << expected;
    }
}

TEST_F(InfoPagesTest, OpticalModuleInDisplayUnits)
{
    const std::string bytesAt96 = statePath("i2c-0/0x51.hex");
    EXPECT_EQ(runCgi("cmd_id=3").output,
              jsonReply(std::string("{bias:\"12.50 mA\",rx_opt_power:\"-18.51 dBm\",temp:\"41.30") + DEGREES +
                    "\",tx_opt_power:\"2.55 dBm\",voltage:\"3.29 V\"}"));

    writeFile(bytesAt96, "60: 25 80 80 E8 13 88 0F A0 13 88\n");
    EXPECT_EQ(runCgi("cmd_id=3&action=1").output,
              jsonReply(std::string("{bias:\"10.00 mA\",rx_opt_power:\"-3.01 dBm\",temp:\"37.50") + DEGREES +
                    "\",tx_opt_power:\"-3.98 dBm\",voltage:\"3.30 V\"}"));
    std::string log = standInLog("i2c");
    EXPECT_NE(log.find("slave 0x51"), std::string::npos) << log;
    EXPECT_NE(log.find("write byte 0x51 reg 0x60"), std::string::npos) << log;
    EXPECT_NE(log.find("read block 0x51 reg 0x60 len 10 -> 25 80 80 E8 13 88 0F A0 13 88"),
              std::string::npos)
        << log;
}

TEST_F(InfoPagesTest, SilentTransceiverOrMissingBusReadsZero)
{
    const std::string zeros = jsonReply(std::string("{bias:\"0.00 mA\",rx_opt_power:\"-inf dBm\",temp:\"0.00") +
                                    DEGREES + "\",tx_opt_power:\"-inf dBm\",voltage:\"0.00 V\"}");
    ASSERT_EQ(std::remove(statePath("i2c-0/0x51.hex").c_str()), 0);
    EXPECT_EQ(runCgi("cmd_id=3").output, zeros);
    ASSERT_EQ(std::remove(statePath("i2c-0").c_str()), 0);
    EXPECT_EQ(runCgi("cmd_id=3").output, zeros);
}

TEST_F(InfoPagesTest, PonCountersHoldTwentyKeysInByteOrder)
{
    const std::string image =
        "{rxCtrlFrames:\"48233\",rxDataFrames:\"1523367\",rxFcsFrames:\"0\",rxGateFrames:\"301257\","
        "rxLongFrames:\"0\",rxReportFrames:\"0\",rxShortFrames:\"0\",swRegAckFrames:\"1\","
        "swRegDeRegFrames:\"0\",swRegNackFrames:\"0\",swRegReRegFrams:\"0\",swRxErrorFrames:\"0\","
        "swRxTotalFrames:\"1871601\",swTxErorFrames:\"0\",swTxTotalFrames:\"1490013\","
        "txByteAllow:\"218806528\",txDataFrames:\"1490012\",txRegisterAckFrames:\"1\","
        "txRegisterRequestFrames:\"1\",txReportFrames:\"301254\"}";
    EXPECT_EQ(runCgi("cmd_id=8").output, jsonReply(image));
    EXPECT_EQ(runCgi("cmd_id=8&action=1&rxFcsFrames=5").output, jsonReply(image));

    ASSERT_EQ(std::remove(ALL_CNT), 0);
    EXPECT_EQ(runCgi("cmd_id=8").output,
              jsonReply("{rxCtrlFrames:\"\",rxDataFrames:\"\",rxFcsFrames:\"\",rxGateFrames:\"\","
                    "rxLongFrames:\"\",rxReportFrames:\"\",rxShortFrames:\"\",swRegAckFrames:\"\","
                    "swRegDeRegFrames:\"\",swRegNackFrames:\"\",swRegReRegFrams:\"\",swRxErrorFrames:\"\","
                    "swRxTotalFrames:\"\",swTxErorFrames:\"\",swTxTotalFrames:\"\",txByteAllow:\"\","
                    "txDataFrames:\"\",txRegisterAckFrames:\"\",txRegisterRequestFrames:\"\","
                    "txReportFrames:\"\"}"));
}

}  // namespace
