// The simulated unit answers the device paths and commands as the product
// expects them to be answered.
#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "e2e_support.h"

namespace {

const char WEB_XML[] = "/var/vesk/website/www/xml/vesk_xml_cfg_file.xml";

using SimTest = SimulatedUnitTest;

TEST_F(SimTest, BootEnvironmentToolsAnswerLikeTheRealOnes)
{
    struct Case {
        const char *command;
        const char *output;
        int status;
    } cases[] = {
        {"fw_printenv mv_pon_addr", "mv_pon_addr=00:26:3E:50:11:A0\n", 0},
        {"fw_printenv no_such_var 2>&1", "## Error: \"no_such_var\" not defined\n", 1},
        {"fw_setenv ethaddr  00:11:22:33:44:56 && fw_printenv ethaddr",
         "ethaddr=00:11:22:33:44:56\n", 0},
        // No value deletes the variable, as the initializer's reset may ask.
        {"fw_setenv mv_pon_addr   && fw_printenv mv_pon_addr 2>&1",
         "## Error: \"mv_pon_addr\" not defined\n", 1},
        {"fw_setenv new_var a  b && fw_printenv new_var", "new_var=a b\n", 0},
    };
    for (const Case &c : cases) {
        RunResult result = runProgram(c.command);
        EXPECT_EQ(result.output, c.output) << c.command;
        EXPECT_EQ(result.status, c.status) << c.command;
    }
    EXPECT_EQ(standInLog("fw_setenv"), "ethaddr 00:11:22:33:44:56\nmv_pon_addr\nnew_var a b\n");
}

TEST_F(SimTest, ClishRecordsScriptsAndAnswersTheFecMode)
{
    const std::string show = "eoam\nshow pon fec_mode\n\nquit\n";
    const std::string enable = "eoam\npon fec_mode enable\n\nquit\n";
    EXPECT_EQ(runProgram("printf '" + show + "' | clish").output, "FEC Disabled\n");
    runProgram("printf '" + enable + "' | clish");
    EXPECT_EQ(runProgram("printf '" + show + "' | clish").output, "FEC Enabled\n");
    EXPECT_EQ(clishScripts(), (std::vector<std::string>{show, enable, show}));
}

TEST_F(SimTest, FlashEraseFillsThePartitionWithOnes)
{
    runProgram("/usr/sbin/flash_unlock /dev/mtd1 ; /usr/sbin/flash_erase /dev/mtd1 0 0 ");
    EXPECT_EQ(readFile("/dev/mtd1"), std::string(4 * 1024 * 1024, '\xFF'));

    // One erase block from the second one on.
    runProgram("/usr/sbin/flash_erase /dev/mtd3 0x10000 1");
    std::string varfs = readFile("/dev/mtd3");
    ASSERT_EQ(varfs.size(), 8u * 1024 * 1024);
    EXPECT_EQ(varfs.substr(0, 0x10000), std::string(0x10000, '\0'));
    EXPECT_EQ(varfs.substr(0x10000, 0x10000), std::string(0x10000, '\xFF'));
    EXPECT_EQ(varfs.find('\xFF', 0x20000), std::string::npos);

    EXPECT_EQ(standInLog("flash"), "flash_unlock /dev/mtd1\nflash_erase /dev/mtd1 0 0\n"
                                   "flash_erase /dev/mtd3 0x10000 1\n");
}

TEST_F(SimTest, CommandNodesKeepEveryTextInOrder)
{
    for (const char *node : {"/sys/devices/platform/tpm/cfg_mngt/vesk_cmd",
                             "/sys/devices/platform/tpm/cfg_traffic/rate_limit_if_set",
                             "/sys/devices/platform/neta/switch/reg_w"}) {
        std::string path = node;
        runProgram("echo 1 0 0 0 0 > " + path + "; echo '0 us WAN  1000 1536' > " + path);
        EXPECT_EQ(readFile(path), "1 0 0 0 0\n0 us WAN  1000 1536\n") << path;
    }
    // Files the driver only publishes are replaced as usual.
    runProgram("echo first > /sys/devices/platform/epon/info/infoEpon; "
               "echo second > /sys/devices/platform/epon/info/infoEpon");
    EXPECT_EQ(readFile("/sys/devices/platform/epon/info/infoEpon"), "second\n");
}

int smbus(int fd, unsigned char readWrite, unsigned char command, unsigned size,
          i2c_smbus_data *data)
{
    i2c_smbus_ioctl_data request = {readWrite, command, size, data};
    return ioctl(fd, I2C_SMBUS, &request);
}

TEST_F(SimTest, TransceiverAnswersByteAndBlockReadsAt0x51)
{
    int fd = open("/dev/i2c-0", O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ioctl(fd, I2C_SLAVE, 0x51), 0);
    i2c_smbus_data data = {};
    ASSERT_EQ(smbus(fd, I2C_SMBUS_WRITE, 96, I2C_SMBUS_BYTE, nullptr), 0);
    ASSERT_EQ(smbus(fd, I2C_SMBUS_READ, 0, I2C_SMBUS_BYTE, &data), 0);
    EXPECT_EQ(data.byte, 0x29);
    data.block[0] = 10;
    ASSERT_EQ(smbus(fd, I2C_SMBUS_READ, 96, I2C_SMBUS_I2C_BLOCK_DATA, &data), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(data.block), 11),
              std::string("\x0A\x29\x4D\x80\x84\x18\x6A\x46\x50\x00\x8D", 11));

    ASSERT_EQ(ioctl(fd, I2C_SLAVE, 0x50), 0);
    EXPECT_EQ(smbus(fd, I2C_SMBUS_READ, 0, I2C_SMBUS_BYTE, &data), -1);
    EXPECT_EQ(errno, ENXIO);
    close(fd);

    EXPECT_EQ(standInLog("i2c"), "open /dev/i2c-0\n"
                                 "slave 0x51\n"
                                 "write byte 0x51 reg 0x60\n"
                                 "read byte 0x51 reg 0x60 -> 29\n"
                                 "read block 0x51 reg 0x60 len 10 -> 29 4D 80 84 18 6A 46 50 00 8D\n"
                                 "slave 0x50\n"
                                 "read size 1 0x50 reg 0x00 -> no answer\n"
                                 "close /dev/i2c-0\n");
}

TEST_F(SimTest, DeviceScriptsRecordWhatTheyWereHanded)
{
    EXPECT_EQ(runProgram("/var/vesk/export_xml.sh && tar -tf /var/vesk/website/www/xml_config.tar"
                         " | sort")
                  .output,
              "xml_config/\n"
              "xml_config/eoam_xml_cfg_file.xml\n"
              "xml_config/gpon_xml_cfg_file.xml\n"
              "xml_config/omci_xml_cfg_file.xml\n"
              "xml_config/onu_profile_xml_cfg_file.xml\n"
              "xml_config/tpm_xml_cfg_file.xml\n"
              "xml_config/vesk_xml_cfg_file.xml\n");
    EXPECT_EQ(standInLog("export_xml"), "export /var/vesk/website/www/xml_config.tar\n");

    writeFile("/tmp/jffs2_fs.tar.gz", "abc");
    runProgram("/var/vesk/upgrade.sh");
    EXPECT_EQ(standInLog("upgrade"),
              "upgrade /tmp/jffs2_fs.tar.gz 3 bytes md5 900150983cd24fb0d6963f7d28e17f72\n");

    // Not serving: the unit is not booted again.
    EXPECT_EQ(runProgram("/sbin/reboot").status, 0);
    EXPECT_EQ(standInLog("reboot"), "reboot\n");
    EXPECT_FALSE(fileExists(statePath("log/boot.log")));
}

TEST_F(SimTest, ResetRestoresTheImage)
{
    const std::string image = readFile(std::string(ONU_SOURCE_DIR "/sim/image") + WEB_XML);
    ASSERT_EQ(readFile(WEB_XML), image);
    writeFile(WEB_XML, "<changed/>");
    writeFile("/tmp/recFile", "upload");
    writeFile("/dev/mtd2", "kernel");
    runProgram("fw_setenv mv_pon_addr 00:50:43:02:00:00; echo 1 > /sys/devices/platform/neta/switch/reg_w");

    resetUnit();
    EXPECT_EQ(readFile(WEB_XML), image);
    EXPECT_FALSE(fileExists("/tmp/recFile"));
    EXPECT_EQ(readFile("/dev/mtd2"), "");
    EXPECT_EQ(readFile("/sys/devices/platform/neta/switch/reg_w"), "");
    EXPECT_EQ(runProgram("fw_printenv mv_pon_addr").output, "mv_pon_addr=00:26:3E:50:11:A0\n");
    EXPECT_EQ(standInLog("fw_setenv"), "");
}

TEST_F(SimTest, UploadReachesTheSavePath)
{
    const std::string firmware("\x27\x05\x19\x56\r\n\0tail", 11);
    runCgiUpload("cmd_id=7&action=0", "C:\\fw\\uImage", firmware);
    EXPECT_EQ(readFile("/tmp/recFile"), firmware);
}

// A port the system has just handed out as free.
int freePort()
{
    int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(probe, reinterpret_cast<sockaddr *>(&address), length);
    getsockname(probe, reinterpret_cast<sockaddr *>(&address), &length);
    close(probe);
    return ntohs(address.sin_port);
}

// Sends one request to the local port and returns the whole answer; waits up
// to two seconds for the server to listen.
std::string httpExchange(int port, const std::string &request)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    for (int attempt = 0; attempt < 40; ++attempt) {
        int connection = socket(AF_INET, SOCK_STREAM, 0);
        if (connect(connection, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0) {
            send(connection, request.data(), request.size(), 0);
            std::string answer;
            char buffer[4096];
            ssize_t count;
            while ((count = recv(connection, buffer, sizeof buffer, 0)) > 0)
                answer.append(buffer, static_cast<size_t>(count));
            close(connection);
            return answer;
        }
        close(connection);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
}

TEST_F(SimTest, WebServerPassesTheBackendReplyThrough)
{
    int port = freePort();
    std::string listen = "127.0.0.1:" + std::to_string(port);
    pid_t server = fork();
    if (server == 0) {
        execlp("busybox", "busybox", "httpd", "-f", "-p", listen.c_str(), "-h",
               "/var/vesk/website/www", static_cast<char *>(nullptr));
        _exit(127);
    }
    ASSERT_GT(server, 0);
    std::string answer =
        httpExchange(port, "GET /cgi-bin/onu.cgi?cmd_id=7&action=0 HTTP/1.0\r\n\r\n");
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);

    EXPECT_EQ(answer, "HTTP/1.1 404 processor is not find\n"
                      "Connection:close\n"
                      "\n"
                      "<HTML><BODY><p>Error:404 -- processor is not find</p></BODY></HTML>\n");
    EXPECT_EQ(answer, runCgi("cmd_id=7&action=0").output);
}

} // namespace
