// The simulated unit's own guarantees; its stand-ins, command nodes, flash
// partitions and transceiver model are exercised by the command tests.
#include "e2e_support.h"

namespace {

using SimTest = SimulatedUnitTest;

TEST_F(SimTest, BootEnvironmentToolsAnswerLikeTheRealOnes)
{
    const std::tuple<const char *, const char *, int> cases[] = {
        {"fw_printenv mv_pon_addr", "mv_pon_addr=00:26:3E:50:11:A0\n", 0},
        {"fw_printenv no_such_var 2>&1", "## Error: \"no_such_var\" not defined\n", 1},
        {"fw_setenv ethaddr  00:11:22:33:44:56 && fw_printenv ethaddr", "ethaddr=00:11:22:33:44:56\n", 0},
        // No value deletes the variable.
        {"fw_setenv mv_pon_addr   && fw_printenv mv_pon_addr 2>&1", "## Error: \"mv_pon_addr\" not defined\n", 1},
        {"fw_setenv new_var a  b && fw_printenv new_var", "new_var=a b\n", 0},
    };
    for (const auto &[command, output, status] : cases) {
        RunResult result = runProgram(command);
        EXPECT_EQ(result.output, output) << command;
        EXPECT_EQ(result.status, status) << command;
    }
    EXPECT_EQ(standInLog("fw_setenv"), "ethaddr 00:11:22:33:44:56\nmv_pon_addr\nnew_var a b\n");
}

TEST_F(SimTest, ResetRestoresTheImage)
{
    const std::string image = readFile(std::string(ONU_SOURCE_DIR "/rootfs") + WEB_XML_PATH);
    ASSERT_EQ(readFile(WEB_XML_PATH), image);
    writeFile(WEB_XML_PATH, "<changed/>");
    writeFile(UPLOAD_SAVE_PATH, "upload");
    writeFile("/dev/mtd2", "kernel");
    runProgram("fw_setenv mv_pon_addr 00:50:43:02:00:00; "
               "echo 1 > /sys/devices/platform/neta/switch/reg_w");

    resetUnit();
    EXPECT_EQ(readFile(WEB_XML_PATH), image);
    EXPECT_FALSE(fileExists(UPLOAD_SAVE_PATH));
    EXPECT_EQ(readFile("/dev/mtd2"), "");
    EXPECT_EQ(readFile(SWITCH_REGISTER_PATH), "");
    EXPECT_EQ(runProgram("fw_printenv mv_pon_addr").output, "mv_pon_addr=00:26:3E:50:11:A0\n");
    EXPECT_EQ(standInLog("fw_setenv"), "");
}

}  // namespace
