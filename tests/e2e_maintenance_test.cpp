// Maintenance commands inside the simulated unit: the replies, the commands
// they ran (log/system.log and the stand-ins' logs) and the files they changed.

#include <cstdint>

#include "e2e_support.h"

const char *const STACK_FILES[] = {"eoam_xml_cfg_file.xml", "gpon_xml_cfg_file.xml", "omci_xml_cfg_file.xml",
                                   "onu_profile_xml_cfg_file.xml", "tpm_xml_cfg_file.xml"};
const std::string IMPORT_COMMANDS =
    "mv /tmp/recFile /tmp/xml_in.tar\ntar -xf /tmp/xml_in.tar -C /tmp/ \n"
    "cp -f /tmp/xml_config/vesk_xml_cfg_file.xml  /var/vesk/website/www/xml/vesk_xml_cfg_file.xml\n"
    "cp -rf /tmp/xml_config/*.*  /etc/xml_params/\nrm -rf /etc/xml_params/vesk*.*\n"
    "rm -rf /tmp/xml_config\nrm -f /tmp/xml_in.tar\n";

static std::string bigEndian(uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

static uint32_t crc32(const std::string &bytes)
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
static std::string uImage(const std::string &data, uint32_t missing = 0)
{
    std::string header = bigEndian(0x27051956) + std::string(8, '\0') + bigEndian(data.size() + missing) +
                         std::string(8, '\0') + bigEndian(crc32(data)) + std::string(36, '\0');
    return header.replace(4, 4, bigEndian(crc32(header))) + data;
}

static std::string octal(size_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*zo", digits, value);
    return text;
}

// One tar member as GNU tar writes it: header, contents, padding.
static std::string tarMember(const std::string &name, const std::string &bytes, char type = '0',
                             const std::string &link = "", size_t mode = 0644)
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

const std::string TAR_END(1024, '\0');

// The web configuration, then the stack files; `replacement` overwrites them all.
static std::vector<std::string> liveConfig(const char *replacement = nullptr)
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

using MaintenanceTest = SimulatedUnitTest;

TEST_F(MaintenanceTest, FirstUseFlagAnswersOneOnceUntilDefaultsAreRestored)
{
    for (const char *body : {"1", "0", "0"})
        EXPECT_EQ(runCgi("cmd_id=33").output, jsonReply(body));
    EXPECT_EQ(runCgi("cmd_id=11").output, jsonReply("0"));
    EXPECT_EQ(standInLog("reboot"), "reboot\n");

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

// An archive is imported with the import commands only when it holds nothing
// but configuration files; otherwise nothing runs and the upload is gone.
TEST_F(MaintenanceTest, ArchivesOfConfigurationFilesAloneAreImported)
{
    const std::vector<std::string> image = liveConfig();
    EXPECT_EQ(runCgi("cmd_id=10&action=0").output, jsonReply(" 0"));
    const std::string member = "xml_config/gpon_xml_cfg_file.xml", gpon = readFile(GPON_XML_PATH);
    const std::string valid = tarMember(member, gpon) + TAR_END;
    std::string badChecksum = valid;
    badChecksum[265] = 'u';  // the owner's name
    const std::vector<std::string> none, changed(6, "<changed/>\n");
    std::vector<std::string> oneFile = changed;
    oneFile[2] = gpon + "<!-- imported -->\n";
    const std::tuple<const char *, std::string, std::vector<std::string>> cases[] = {
        // what, archive, the files imported (none: refused)
        {"export", readFile(EXPORT_ARCHIVE_PATH), image},
        {"one file", tarMember("xml_config/", "", '5') + tarMember(member, oneFile[2]) + TAR_END, oneFile},
        {"empty", "", none},
        {"junk", "not a tar archive at all", none},
        // Typed members carry contents that would pass as the file.
        {"symbolic link", tarMember(member, gpon, '2', "/etc/shadow") + TAR_END, none},
        {"hard link", tarMember(member, gpon, '1', "etc/shadow") + TAR_END, none},
        {"device", tarMember(member, gpon, '3') + TAR_END, none},
        {"FIFO", tarMember(member, gpon, '6') + TAR_END, none},
        {"set-user-ID file", tarMember(member, gpon, '0', "", 04644) + TAR_END, none},
        {"long-name record", tarMember("././@LongLink", member + '\0', 'L') + valid, none},
        {"pax header", tarMember("xml_config/PaxHeaders/x", "30 path=xml_config/x.xml\n", 'x') + valid, none},
        {"../ path", tarMember("xml_config/../gpon_xml_cfg_file.xml", gpon) + TAR_END, none},
        {"absolute path", tarMember("/etc/xml_params/gpon_xml_cfg_file.xml", gpon) + TAR_END, none},
        {"unknown file", tarMember("xml_config/other.xml", gpon) + TAR_END, none},
        {"other folder", tarMember("xml_config/sub/", "", '5') + valid, none},
        {"not parsing", tarMember(member, "<gpon_config>") + TAR_END, none},
        {"wrong root", tarMember(member, "<tpm_config/>") + TAR_END, none},
        // Values a later reply or clish script would carry as they stand.
        {"quote in a value", tarMember(member, "<gpon_config a=\"x&quot;y\"/>") + TAR_END, none},
        {"line feed in a text", tarMember(member, "<gpon_config><a>x&#10;y</a></gpon_config>") + TAR_END, none},
        {"text beside elements", tarMember(member, "<gpon_config>\\<a/></gpon_config>") + TAR_END, none},
        {"duplicate", tarMember(member, gpon) + valid, none},
        {"size beyond the file", valid.substr(0, 700), none},
        {"no end blocks", tarMember(member, gpon), none},
        {"bad checksum", badChecksum, none},
        {"data after the end", valid + "junk", none},
    };
    for (const auto &[what, archive, imported] : cases) {
        SCOPED_TRACE(what);
        resetUnit();
        liveConfig("<changed/>\n");
        EXPECT_EQ(runCgiUpload("cmd_id=10&action=1", archive).output, jsonReply(imported.empty() ? " 1" : " 0"));
        EXPECT_EQ(standInLog("system") + standInLog("reboot"), imported.empty() ? "" : IMPORT_COMMANDS);
        EXPECT_EQ(liveConfig(), imported.empty() ? changed : imported);
        // The web configuration has its own place, never the stack folder.
        for (const std::string leftover :
             {UPLOAD_SAVE_PATH, "/tmp/xml_in.tar", "/tmp/xml_config", "/etc/xml_params/vesk_xml_cfg_file.xml"})
            EXPECT_FALSE(fileExists(leftover)) << leftover;
    }
    EXPECT_EQ(runCgi("cmd_id=10&action=1").output, jsonReply(" 1"));
    EXPECT_EQ(standInLog("system"), "");
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
    const std::string output = runCgiUpload("cmd_id=10&action=1", archive).output;
    runProgram("rm /usr/sbin/cp");
    EXPECT_EQ(output, jsonReply(" 1"));
    EXPECT_EQ(standInLog("system"), "/var/vesk/export_xml.sh\n" + IMPORT_COMMANDS);
    EXPECT_EQ(liveConfig(), before);
    // No copy is left beside the files.
    EXPECT_EQ(runProgram("find /var/vesk/website/www/xml /etc/xml_params -name '*.xml?*'").output, "");
}

static std::string flashCommands(const std::string &image, const std::string &partition)
{
    return "mv /tmp/recFile  " + image + "\n/usr/sbin/flash_unlock " + partition + " \n/usr/sbin/flash_erase " +
           partition + " 0 0 \n/bin/dd if=" + image + " of=" + partition + "\n/sbin/reboot\n";
}

// An image of its partition's kind and size is installed with the upgrade
// commands; any other is refused and gone with nothing run. An unknown type
// answers before looking at the upload, which stays.
TEST_F(MaintenanceTest, ImagesOfTheirPartitionsKindAndSizeAreInstalled)
{
    std::string data(300000, '\0');
    unsigned state = 12345;
    for (char &byte : data)
        byte = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
    data.replace(data.size() / 2, 8, "\r\n--\r\n\r\n");
    const std::string image = uImage(data);
    std::string badHeader = image, badData = image;
    badHeader[40] ^= 1;  // a byte of the name
    badData[100] ^= 1;
    const std::string jffs2 = flashCommands("/tmp/varfs.jffs2", "/dev/mtd3");
    const std::tuple<const char *, std::string, std::string, const char *> cases[] = {
        // update_type, image, commands, where the image ends up
        {"1", image, flashCommands("/tmp/uImage", "/dev/mtd1"), "/dev/mtd1"},
        {"2", "hsqs" + data, flashCommands("/tmp/rootfs.squashfs", "/dev/mtd2"), "/dev/mtd2"},
        {"3", "\x85\x19" + data, jffs2, "/dev/mtd3"},
        {"03", "\x19\x85" + data, jffs2, "/dev/mtd3"},
        {"0", "\x1f\x8b" + data,
         "rm -rf /tmp/jffs2_fs.tar.gz\nrm -r /tmp/jffs2_fs.tar.gz\nmv /tmp/recFile  /tmp/jffs2_fs.tar.gz\n"
         "/var/vesk/upgrade.sh\n",
         "/tmp/jffs2_fs.tar.gz"},
        {"1", "", "", ""},
        {"1", "13 junk bytes", "", ""},
        {"1", "hsqs" + data, "", ""},
        {"1", badHeader, "", ""},
        {"1", badData, "", ""},
        {"1", image.substr(0, image.size() - 1), "", ""},
        {"1", uImage(data, 1), "", ""},  // data whose CRC is right, but shorter than its header says
        {"1", uImage(std::string(4 * 1024 * 1024 - 64 + 1, 'k')), "", ""},
        {"2", "hsqt" + data, "", ""},
        {"3", "\x19\x86" + data, "", ""},
        {"3", "\x85\x19" + std::string(8 * 1024 * 1024 - 1, 'j'), "", ""},
        {"0", "\x1f\x8c" + data, "", ""},
        {"", image, "", ""},
        {"7", image, "", UPLOAD_SAVE_PATH},
        {"-1", image, "", UPLOAD_SAVE_PATH},
    };
    for (const auto &[updateType, bytes, commands, where] : cases) {
        SCOPED_TRACE(std::string(updateType) + ", " + std::to_string(bytes.size()) + " bytes");
        resetUnit();
        EXPECT_EQ(runCgiUpload(std::string("cmd_id=21&update_type=") + updateType, bytes).output,
                  jsonReply(commands.empty() ? "1" : "0"));
        EXPECT_EQ(standInLog("system"), commands);
        // A partition is erased to 0xFF first, so whatever follows the image is still erased.
        for (const std::string path :
             {"/dev/mtd1", "/dev/mtd2", "/dev/mtd3", "/tmp/jffs2_fs.tar.gz", UPLOAD_SAVE_PATH}) {
            const std::string written = readFile(path), expected = path == where ? bytes : "";
            EXPECT_TRUE(written.size() >= expected.size() && written.compare(0, expected.size(), expected) == 0 &&
                        written.find_first_not_of('\xff', expected.size()) == std::string::npos)
                << path;
        }
    }
}
