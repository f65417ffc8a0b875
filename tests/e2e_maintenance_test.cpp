// Maintenance commands inside the simulated unit: the replies, the commands
// they ran (log/system.log and the stand-ins' logs) and the files they changed.

#include <cstdint>

#include "e2e_support.h"
#include "web/firmware_image.h"

namespace {

const char *const STACK_FILES[] = {"eoam_xml_cfg_file.xml", "gpon_xml_cfg_file.xml", "omci_xml_cfg_file.xml",
                                   "onu_profile_xml_cfg_file.xml", "tpm_xml_cfg_file.xml"};
const std::string IMPORT_COMMANDS =
    "mv /tmp/recFile /tmp/xml_in.tar\ntar -xf /tmp/xml_in.tar -C /tmp/ \n"
    "cp -f /tmp/xml_config/vesk_xml_cfg_file.xml  /var/vesk/website/www/xml/vesk_xml_cfg_file.xml\n"
    "cp -rf /tmp/xml_config/*.*  /etc/xml_params/\nrm -rf /etc/xml_params/vesk*.*\n"
    "rm -rf /tmp/xml_config\nrm -f /tmp/xml_in.tar\n";

// Arbitrary bytes, CR LF and dashes among them.
std::string firmwareBytes(size_t size)
{
    std::string bytes(size, '\0');
    unsigned state = 12345;
    for (char &byte : bytes)
        byte = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
    return bytes.replace(size / 2, 8, "\r\n--\r\n\r\n");
}

std::string bigEndian(uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

uint32_t crc32(const std::string &bytes)
{
    uint32_t crc = 0xFFFFFFFF;
    for (const unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (crc & 1 ? 0xEDB88320 : 0);
    }
    return ~crc;
}

// A uImage header (magic, CRCs, data size plus `missing`; the rest zero) and the data.
std::string uImage(const std::string &data, uint32_t missing = 0)
{
    std::string header = bigEndian(0x27051956) + std::string(8, '\0') + bigEndian(data.size() + missing) +
                         std::string(8, '\0') + bigEndian(crc32(data)) + std::string(36, '\0');
    return header.replace(4, 4, bigEndian(crc32(header))) + data;
}

std::string octal(size_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*zo", digits, value);
    return text;
}

// One tar member as GNU tar writes it: header, contents, padding.
std::string tarMember(const std::string &name, const std::string &bytes, char type = '0', const std::string &link = "",
                      size_t mode = 0644)
{
    std::string header(512, '\0');
    header.replace(0, name.size(), name).replace(100, 7, octal(mode, 7)).replace(108, 7, octal(0, 7));
    header.replace(116, 7, octal(0, 7)).replace(124, 11, octal(bytes.size(), 11)).replace(136, 11, octal(0, 11));
    header.replace(157, link.size(), link).replace(257, 8, "ustar  \0", 8);
    header[156] = type;
    header.replace(148, 8, 8, ' ');
    size_t sum = 0;
    for (const unsigned char byte : header)
        sum += byte;
    return header.replace(148, 7, octal(sum, 6) + '\0') + bytes + std::string((512 - bytes.size() % 512) % 512, '\0');
}

std::string tarEnd() { return std::string(1024, '\0'); }

// The web configuration, then the stack files; `replacement` overwrites them all.
std::vector<std::string> liveConfig(const char *replacement = nullptr)
{
    std::vector<std::string> paths = {WEB_XML_PATH}, files;
    for (const std::string name : STACK_FILES)
        paths.push_back(XML_PARAMS_DIR + name);
    for (const std::string &path : paths) {
        if (replacement)
            writeFile(path, replacement);
        files.push_back(readFile(path));
    }
    return files;
}

// A refused upload ran nothing, left the flash and configuration as they
// were and is gone.
void expectNothingDone(const std::vector<std::string> &config)
{
    EXPECT_EQ(standInLog("system") + standInLog("flash") + standInLog("reboot"), "");
    for (const char *partition : FLASH_PARTITIONS)
        EXPECT_EQ(readFile(partition), "") << partition;
    EXPECT_EQ(liveConfig(), config);
    EXPECT_FALSE(fileExists(UPLOAD_SAVE_PATH));
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
        EXPECT_EQ(readFile(XML_PARAMS_DIR + name), readFile(XML_DEFAULT_DIR + name)) << name;
    EXPECT_EQ(runCgi("cmd_id=33").output, jsonReply("1"));
}

TEST_F(MaintenanceTest, ValidArchivesImportWithTheImportCommands)
{
    const std::vector<std::string> exported = liveConfig();
    EXPECT_EQ(runCgi("cmd_id=10&action=0").output, jsonReply(" 0"));
    const std::string gpon = readFile(GPON_XML_PATH) + "<!-- imported -->\n";
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {readFile(EXPORT_ARCHIVE_PATH), exported},
        {tarMember("xml_config/", "", '5') + tarMember("xml_config/gpon_xml_cfg_file.xml", gpon) + tarEnd(),
         {"<changed/>\n", "<changed/>\n", gpon, "<changed/>\n", "<changed/>\n", "<changed/>\n"}},
    };
    for (const auto &[archive, imported] : cases) {
        liveConfig("<changed/>\n");
        writeFile(statePath("log/system.log"), "");
        EXPECT_EQ(runCgiUpload("cmd_id=10&action=1", "xml_config.tar", archive).output, jsonReply(" 0"));
        EXPECT_EQ(standInLog("system"), IMPORT_COMMANDS);
        EXPECT_EQ(liveConfig(), imported);
        // The web configuration has its own place, never the stack folder.
        EXPECT_FALSE(fileExists(std::string(XML_PARAMS_DIR) + "vesk_xml_cfg_file.xml"));
        for (const char *leftover : {UPLOAD_SAVE_PATH, "/tmp/xml_in.tar", "/tmp/xml_config"})
            EXPECT_FALSE(fileExists(leftover)) << leftover;
    }
}

TEST_F(MaintenanceTest, ArchivesHoldingAnythingButConfigurationFilesAreRefused)
{
    const std::string gpon = readFile(GPON_XML_PATH);
    const std::string member = "xml_config/gpon_xml_cfg_file.xml";
    const std::string valid = tarMember(member, gpon) + tarEnd();
    std::string badChecksum = valid;
    badChecksum[265] = 'u';  // the owner's name
    const std::pair<const char *, std::string> cases[] = {
        {"empty", ""},
        {"junk", "not a tar archive at all"},
        // Typed members carry contents that would pass as the file.
        {"symbolic link", tarMember(member, gpon, '2', "/etc/shadow") + tarEnd()},
        {"hard link", tarMember(member, gpon, '1', "etc/shadow") + tarEnd()},
        {"device", tarMember(member, gpon, '3') + tarEnd()},
        {"FIFO", tarMember(member, gpon, '6') + tarEnd()},
        {"set-user-ID file", tarMember(member, gpon, '0', "", 04644) + tarEnd()},
        {"long-name record", tarMember("././@LongLink", member + '\0', 'L') + valid},
        {"pax header", tarMember("xml_config/PaxHeaders/x", "30 path=xml_config/x.xml\n", 'x') + valid},
        {"../ path", tarMember("xml_config/../gpon_xml_cfg_file.xml", gpon) + tarEnd()},
        {"absolute path", tarMember("/etc/xml_params/gpon_xml_cfg_file.xml", gpon) + tarEnd()},
        {"unknown file", tarMember("xml_config/other.xml", gpon) + tarEnd()},
        {"other folder", tarMember("xml_config/sub/", "", '5') + valid},
        {"not parsing", tarMember(member, "<gpon_config>") + tarEnd()},
        {"wrong root", tarMember(member, "<tpm_config/>") + tarEnd()},
        {"duplicate", tarMember(member, gpon) + valid},
        {"size beyond the file", valid.substr(0, 700)},
        {"no end blocks", tarMember(member, gpon)},
        {"bad checksum", badChecksum},
        {"data after the end", valid + "junk"},
    };
    const std::vector<std::string> before = liveConfig();
    for (const auto &[what, archive] : cases) {
        SCOPED_TRACE(what);
        resetUnit();
        EXPECT_EQ(runCgiUpload("cmd_id=10&action=1", "cfg.tar", archive).output, jsonReply(" 1"));
        expectNothingDone(before);
    }
    EXPECT_EQ(runCgi("cmd_id=10&action=1").output, jsonReply(" 1"));
    expectNothingDone(before);
}

// A copy that leaves a live file other than the archive's (as a full disk
// would) brings every previous file back.
TEST_F(MaintenanceTest, FailedImportPutsThePreviousFilesBack)
{
    EXPECT_EQ(runCgi("cmd_id=10&action=0").output, jsonReply(" 0"));
    const std::string archive = readFile(EXPORT_ARCHIVE_PATH);
    const std::vector<std::string> before = liveConfig("<vesk_config></vesk_config>\n");
    // Found before the system's cp, as /usr/sbin leads the PATH.
    writeFile("/usr/sbin/cp", "#!/bin/sh\n/bin/cp \"$@\"; echo '<vesk_config>' >" + std::string(WEB_XML_PATH) + "\n");
    runProgram("chmod +x /usr/sbin/cp");
    const std::string output = runCgiUpload("cmd_id=10&action=1", "xml_config.tar", archive).output;
    runProgram("rm /usr/sbin/cp");
    EXPECT_EQ(output, jsonReply(" 1"));
    EXPECT_EQ(standInLog("system"), "/var/vesk/export_xml.sh\n" + IMPORT_COMMANDS);
    EXPECT_EQ(liveConfig(), before);
    // No copy is left beside the files.
    EXPECT_EQ(runProgram("find /var/vesk/website/www/xml /etc/xml_params -name '*.xml?*'").output, "");
}

std::string flashCommands(const std::string &image, const std::string &partition)
{
    return "mv /tmp/recFile  " + image + "\n/usr/sbin/flash_unlock " + partition + " \n/usr/sbin/flash_erase " +
           partition + " 0 0 \n/bin/dd if=" + image + " of=" + partition + "\n/sbin/reboot\n";
}

TEST_F(MaintenanceTest, ValidImagesAreInstalledWithTheUpgradeCommands)
{
    const std::string data = firmwareBytes(300000);
    const std::tuple<const char *, std::string, std::string, const char *> cases[] = {
        // update_type, image, commands, where the image ends up
        {"1", uImage(data), flashCommands("/tmp/uImage", "/dev/mtd1"), "/dev/mtd1"},
        {"2", "hsqs" + data, flashCommands("/tmp/rootfs.squashfs", "/dev/mtd2"), "/dev/mtd2"},
        {"3", "\x85\x19" + data, flashCommands("/tmp/varfs.jffs2", "/dev/mtd3"), "/dev/mtd3"},
        {"03", "\x19\x85" + data, flashCommands("/tmp/varfs.jffs2", "/dev/mtd3"), "/dev/mtd3"},
        {"0", "\x1f\x8b" + data,
         "rm -rf /tmp/jffs2_fs.tar.gz\nrm -r /tmp/jffs2_fs.tar.gz\nmv /tmp/recFile  /tmp/jffs2_fs.tar.gz\n"
         "/var/vesk/upgrade.sh\n",
         "/tmp/jffs2_fs.tar.gz"},
    };
    for (const auto &[updateType, image, commands, where] : cases) {
        SCOPED_TRACE(updateType);
        resetUnit();
        EXPECT_EQ(runCgiUpload(std::string("cmd_id=21&update_type=") + updateType, "fw.bin", image).output,
                  jsonReply("0"));
        EXPECT_EQ(standInLog("system"), commands);
        // A partition is erased to 0xFF first, so whatever follows the image is still erased.
        const std::string written = readFile(where);
        ASSERT_GE(written.size(), image.size());
        EXPECT_TRUE(written.compare(0, image.size(), image) == 0);
        EXPECT_EQ(written.find_first_not_of('\xff', image.size()), std::string::npos);
    }
}

TEST_F(MaintenanceTest, ImagesOfAnotherKindOrSizeAreRefused)
{
    const std::string data = firmwareBytes(5000), image = uImage(data);
    std::string badHeader = image, badData = image;
    badHeader[40] ^= 1;  // a byte of the name
    badData[100] ^= 1;
    const std::pair<const char *, std::string> cases[] = {
        {"1", ""},
        {"1", "13 junk bytes"},
        {"1", "hsqs" + data},
        {"1", badHeader},
        {"1", badData},
        {"1", image.substr(0, image.size() - 1)},
        {"1", uImage(data, 1)},  // data whose CRC is right, but shorter than its header says
        {"1", uImage(std::string(4 * 1024 * 1024 - 64 + 1, 'k'))},
        {"2", "hsqt" + data},
        {"3", "\x19\x86" + data},
        {"3", "\x85\x19" + std::string(8 * 1024 * 1024 - 1, 'j')},
        {"0", "\x1f\x8c" + data},
        {"", image},
    };
    const std::vector<std::string> config = liveConfig();
    for (const auto &[updateType, bytes] : cases) {
        SCOPED_TRACE(std::string(updateType) + ", " + std::to_string(bytes.size()) + " bytes");
        resetUnit();
        EXPECT_EQ(runCgiUpload(std::string("cmd_id=21&update_type=") + updateType, "fw.bin", bytes).output,
                  jsonReply("1"));
        expectNothingDone(config);
    }
    // An unknown type answers before looking at the upload, which stays.
    for (const char *updateType : {"7", "-1", "99999999999999999999"}) {
        resetUnit();
        EXPECT_EQ(runCgiUpload(std::string("cmd_id=21&update_type=") + updateType, "fw.bin", image).output,
                  jsonReply("1"));
        EXPECT_EQ(readFile(UPLOAD_SAVE_PATH), image) << updateType;
        EXPECT_EQ(standInLog("system"), "") << updateType;
    }
}

}  // namespace
