// Maintenance commands inside the simulated unit: the replies, the tools they
// ran (seen in the stand-ins' logs) and the files they changed.

#include "e2e_support.h"

namespace {

const char PARAMS_DIR[] = "/etc/xml_params/";
const char UPLOAD[] = "/tmp/recFile";
const char *const STACK_FILES[] = {"eoam_xml_cfg_file.xml", "gpon_xml_cfg_file.xml",
                                   "omci_xml_cfg_file.xml", "onu_profile_xml_cfg_file.xml",
                                   "tpm_xml_cfg_file.xml"};

// Arbitrary bytes, CR LF and dashes among them.
std::string firmwareImage(size_t size)
{
    std::string bytes(size, '\0');
    unsigned state = 12345;
    for (char &byte : bytes)
        byte = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
    return bytes.replace(size / 2, 8, "\r\n--\r\n\r\n");
}

// The web configuration, then the stack files; `replacement` overwrites them all.
std::vector<std::string> liveConfig(const char *replacement = nullptr)
{
    std::vector<std::string> paths = {WEB_XML_PATH}, files;
    for (const std::string name : STACK_FILES)
        paths.push_back(PARAMS_DIR + name);
    for (const std::string &path : paths) {
        if (replacement)
            writeFile(path, replacement);
        files.push_back(readFile(path));
    }
    return files;
}

using MaintenanceTest = SimulatedUnitTest;

TEST_F(MaintenanceTest, FirstUseFlagAnswersOneOnceUntilDefaultsAreRestored)
{
    for (const char *body : {"1", "0", "0"})
        EXPECT_EQ(runCgi("cmd_id=33").output, jsonReply(body));
    EXPECT_EQ(runCgi("cmd_id=11").output, jsonReply("0"));
    EXPECT_EQ(standInLog("reboot"), "reboot\n");
    EXPECT_FALSE(fileExists(statePath("log/boot.log")));  // not serving: no boot follows

    liveConfig("<changed/>\n");
    runProgram("mkdir -p /var/xml_params && touch /var/xml_params/vesk_xml_cfg_file.xml");
    EXPECT_EQ(runCgi("cmd_id=18").output, jsonReply("0"));
    EXPECT_EQ(standInLog("reboot"), "reboot\nreboot\n");
    EXPECT_FALSE(fileExists("/var/xml_params/vesk_xml_cfg_file.xml"));
    EXPECT_EQ(readFile(WEB_XML_PATH), readFile(DEFAULT_WEB_XML_PATH));
    for (const std::string name : STACK_FILES)
        EXPECT_EQ(readFile(PARAMS_DIR + name), readFile("/var/vesk/xml_default/" + name)) << name;
    EXPECT_EQ(runCgi("cmd_id=33").output, jsonReply("1"));
}

TEST_F(MaintenanceTest, ExportedConfigurationImportsBack)
{
    const std::vector<std::string> exported = liveConfig();
    EXPECT_EQ(runCgi("cmd_id=10&action=0").output, jsonReply(" 0"));
    const std::string archive = readFile("/var/vesk/website/www/xml_config.tar");
    ASSERT_FALSE(archive.empty());

    liveConfig("<changed/>\n");
    EXPECT_EQ(runCgiUpload("cmd_id=10&action=1", "xml_config.tar", archive).output, jsonReply(" 0"));
    EXPECT_EQ(liveConfig(), exported);
    // The web configuration has its own place, never the stack folder.
    EXPECT_FALSE(fileExists(std::string(PARAMS_DIR) + "vesk_xml_cfg_file.xml"));
    for (const char *leftover : {UPLOAD, "/tmp/xml_in.tar", "/tmp/xml_config"})
        EXPECT_FALSE(fileExists(leftover)) << leftover;
}

TEST_F(MaintenanceTest, ImportWithoutUsableArchiveOrActionChangesNothing)
{
    runProgram("mkdir -p /tmp/s/other && echo '<web/>' >/tmp/s/other/vesk_xml_cfg_file.xml && "
               "tar -cf /tmp/other.tar -C /tmp/s other");
    const std::vector<std::string> before = liveConfig();
    for (const std::string &bytes : {std::string(), std::string("not a tar archive"), readFile("/tmp/other.tar")}) {
        EXPECT_EQ(runCgiUpload("cmd_id=10&action=1", "cfg.tar", bytes).output, jsonReply(" 0")) << bytes.size();
        EXPECT_EQ(liveConfig(), before);
        EXPECT_FALSE(fileExists("/tmp/xml_in.tar"));
    }
    EXPECT_EQ(runCgi("cmd_id=10&action=1").output, jsonReply(" 0"));
    EXPECT_EQ(runCgi("cmd_id=10&action=2").output, "");
    EXPECT_EQ(liveConfig(), before);
    EXPECT_EQ(standInLog("export_xml"), "");
}

TEST_F(MaintenanceTest, UpgradeWritesTheImageIntoItsPartitionAndRestarts)
{
    const std::string image = firmwareImage(300000);
    for (const auto &[updateType, partition] :
         {std::pair{"1", "/dev/mtd1"}, {"2", "/dev/mtd2"}, {"03", "/dev/mtd3"}}) {
        resetUnit();
        EXPECT_EQ(runCgiUpload(std::string("cmd_id=21&update_type=") + updateType, "fw.bin", image).output,
                  jsonReply("0"));
        // Erased to 0xFF first, so whatever follows the image is still erased.
        const std::string flash = readFile(partition);
        ASSERT_GE(flash.size(), image.size()) << partition;
        EXPECT_TRUE(flash.compare(0, image.size(), image) == 0) << partition;
        EXPECT_EQ(flash.find_first_not_of('\xff', image.size()), std::string::npos);
        EXPECT_EQ(readFile("/dev/mtd1").size() + readFile("/dev/mtd2").size() + readFile("/dev/mtd3").size(),
                  flash.size()) << "other partitions untouched";
        EXPECT_EQ(standInLog("flash"), std::string("flash_unlock ") + partition + "\nflash_erase " +
                                           partition + " 0 0\n");
        EXPECT_EQ(standInLog("reboot"), "reboot\n");
    }
}

TEST_F(MaintenanceTest, UpgradeArchiveOrUnknownTypeRestartsNothing)
{
    const std::tuple<const char *, const char *, bool> cases[] = {
        // query, reply, handed to the upgrade script
        {"cmd_id=21&update_type=0", "0", true},
        {"cmd_id=21", "0", true},
        {"cmd_id=21&update_type=7", "1", false},
        {"cmd_id=21&update_type=-1", "1", false},
        {"cmd_id=21&update_type=99999999999999999999", "1", false},
    };
    const std::string archive = firmwareImage(5000);
    for (const auto &[query, reply, toUpgradeScript] : cases) {
        resetUnit();
        writeFile("/tmp/jffs2_fs.tar.gz", "stale archive");
        EXPECT_EQ(runCgiUpload(query, "jffs2_fs.tar.gz", archive).output, jsonReply(reply));
        EXPECT_EQ(readFile(toUpgradeScript ? "/tmp/jffs2_fs.tar.gz" : UPLOAD), archive) << query;
        EXPECT_EQ(standInLog("upgrade").rfind("upgrade /tmp/jffs2_fs.tar.gz 5000 bytes", 0) == 0, toUpgradeScript)
            << query;
        EXPECT_EQ(standInLog("reboot") + standInLog("flash"), "") << query;
    }
}

}  // namespace
