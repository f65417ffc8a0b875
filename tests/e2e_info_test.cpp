// The read-only pages inside the simulated unit: ONU information (2), optical
// module (3) and PON counters (8).
#include <cstdio>

#include "e2e_support.h"

const char TRANSCEIVER[] = "i2c-0/0x51.hex";
const std::string ONU_INFO_KEYS =
    "afec_ability,app_ver,capabi_battery_backup,capabi_ds_que_num,capabi_fe_bitmap,capabi_fe_num,capabi_ge_bitmap,"
    "capabi_ge_num,capabi_max_ds_queue,capabi_max_us_queue,capabi_pots_num,capabi_service_supported,capabi_us_que_num,"
    "chipset_chip_model,chipset_ic_ver,chipset_rev,chipset_vendor_id,fec_mode,llid,onu_fm_ver,onu_hw_ver,onu_id,onu_ip,"
    "onu_mac,onu_model,onu_netmask,onu_soft_ver,onu_vendor_id,reg_st,type";
const std::string COUNTER_KEYS =
    "rxCtrlFrames,rxDataFrames,rxFcsFrames,rxGateFrames,rxLongFrames,rxReportFrames,rxShortFrames,swRegAckFrames,"
    "swRegDeRegFrames,swRegNackFrames,swRegReRegFrams,swRxErrorFrames,swRxTotalFrames,swTxErorFrames,swTxTotalFrames,"
    "txByteAllow,txDataFrames,txRegisterAckFrames,txRegisterRequestFrames,txReportFrames";

// The JSON reply of the keys and values, both lists separated by commas; missing values are empty.
static std::string object(const std::string &keys, const std::string &values)
{
    std::istringstream keyList(keys), valueList(values);
    std::string body, key, value;
    while (std::getline(keyList, key, ',')) {
        value.clear();
        std::getline(valueList, value, ',');
        body += (body.empty() ? "{" : ",") + key + ":\"" + value + "\"";
    }
    return jsonReply(body + "}");
}

static std::string optical(const char *bias, const char *rx, const char *temp, const char *tx, const char *voltage)
{
    return jsonReply(std::string("{bias:\"") + bias + " mA\",rx_opt_power:\"" + rx + " dBm\",temp:\"" + temp +
                     " \xE2\x84\x83\",tx_opt_power:\"" + tx + " dBm\",voltage:\"" + voltage + " V\"}");
}

using InfoPagesTest = SimulatedUnitTest;

TEST_F(InfoPagesTest, OnuInfoAndPonCountersAnswerEveryRequestInFull)
{
    EXPECT_EQ(runCgi("cmd_id=8").output,
              object(COUNTER_KEYS, "48233,1523367,0,301257,0,0,0,1,0,0,0,0,1871601,0,1490013,218806528,1490012,1,1,"
                                   "301254"));
    EXPECT_EQ(runCgi("cmd_id=2").output,
              object(ONU_INFO_KEYS, "1,V1.2.7,0,8,0x00,0,0x01,1,8,8,0,GE,8,6601,2023/05/18,02,5645,0,1,01.02.07,HW1.0,"
                                    "00263E5011A0,192.168.1.1,00:26:3E:50:11:A0,EP1S,255.255.255.0,V1.2.7,VESK,1,"
                                    "EP-1001S"));
    // Registered only while the state is exactly "Active".
    writeFile(EPON_INFO_PATH, "[st ] ACTIVE 0x8808 m 1 5 6.\n");
    const std::string output = runCgi("cmd_id=2").output;
    EXPECT_NE(output.find("llid:\"5\",onu_fm_ver"), std::string::npos) << output;
    EXPECT_NE(output.find("reg_st:\"0\""), std::string::npos) << output;

    for (const char *path :
         {EPON_INFO_PATH, EPON_COUNTERS_PATH, ONU_PROFILE_XML_PATH, DEFAULT_ONU_PROFILE_XML_PATH, WEB_XML_PATH})
        ASSERT_EQ(std::remove(path), 0) << path;
    EXPECT_EQ(runCgi("cmd_id=8").output, object(COUNTER_KEYS, ""));
    EXPECT_EQ(runCgi("cmd_id=2").output,
              object(ONU_INFO_KEYS, std::string(11, ',') + "GE" + std::string(17, ',') + "0"));
}

TEST_F(InfoPagesTest, OnuIdentityComesFromTheFactoryProfile)
{
    const char *live = ONU_PROFILE_XML_PATH;
    replaceInFile(live, "\"ONU vendor name\" value=\"VESK\"", "\"ONU vendor name\" value=\"LIVE\"");
    replaceInFile(live, "value=\"HW1.0\"", "value=\"HW9.9\"");
    replaceInFile(live, "value=\"0x010207\"", "value=\"0x0309\"");
    replaceInFile(live, "value=\"0x6601\"", "value=\"0x7701\"");
    replaceInFile(live, "queue per port\" value=\"8\"", "queue per port\" value=\"4\"");
    replaceInFile(WEB_XML_PATH, "00:26:3E:50:11:A0", "00:26:3E");
    const std::string output = runCgi("cmd_id=2").output;
    for (const char *expected :
         {"onu_vendor_id:\"VESK\"", "onu_hw_ver:\"HW1.0\"", "onu_fm_ver:\"03.09\"", "chipset_chip_model:\"7701\"",
          "capabi_us_que_num:\"4\"", "capabi_max_us_queue:\"4\"", "onu_id:\"00263E\""})
        EXPECT_NE(output.find(expected), std::string::npos) << expected;
}

// Temperatures from 0x8000 on are negative.
TEST_F(InfoPagesTest, OpticalModuleInDisplayUnits)
{
    EXPECT_EQ(runCgi("cmd_id=3").output, optical("12.50", "-18.51", "41.30", "2.55", "3.29"));
    writeFile(statePath(TRANSCEIVER), "60: 80 00 80 E8 13 88 0F A0 13 88\n");
    EXPECT_EQ(runCgi("cmd_id=3").output, optical("10.00", "-3.01", "-128.00", "-3.98", "3.30"));
    EXPECT_NE(standInLog("i2c").find("slave 0x51\nwrite byte 0x51 reg 0x60\n"
                                     "read block 0x51 reg 0x60 len 10 -> 80 00 80 E8 13 88 0F A0 13 88\n"),
              std::string::npos);

    // A silent transceiver, then no bus at all.
    const std::string zeros = optical("0.00", "-inf", "0.00", "-inf", "0.00");
    ASSERT_EQ(std::remove(statePath(TRANSCEIVER).c_str()), 0);
    EXPECT_EQ(runCgi("cmd_id=3").output, zeros);
    ASSERT_EQ(std::remove(statePath("i2c-0").c_str()), 0);
    EXPECT_EQ(runCgi("cmd_id=3").output, zeros);
}
