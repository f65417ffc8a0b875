// Maintenance of the unit as a whole: configuration export and import (10),
// restart (11), factory defaults (18), firmware upgrade (21) and the first-use
// flag (33). They work through shell commands run in a fixed order whose exit
// statuses are never examined; where the reply comes first it is flushed
// before anything runs, since the unit may restart under the request.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/paths.h"
#include "web/clish_bridge.h"
#include "web/request_process.h"
#include "web/web_data_comm.h"

namespace {

// Present once the unit has been set up.
const char NEW_ONU_FLAG_PATH[] = "/var/vesk/newOnu.ini";
// Live configuration of the PON and traffic-processor stacks.
const char XML_PARAMS_DIR[] = "/etc/xml_params/";
const char IMPORT_ARCHIVE_PATH[] = "/tmp/xml_in.tar";
// The folder an import archive must hold; unpacked below /tmp.
const char IMPORT_FOLDER[] = "/tmp/xml_config";
const char UPDATE_ARCHIVE_PATH[] = "/tmp/jffs2_fs.tar.gz";

// A firmware image and the flash partition it is written to whole.
struct FlashImage {
    const char *imagePath;
    const char *partition;
};

// By update_type 1, 2, 3: kernel, root file system, writable file system.
const FlashImage FLASH_IMAGES[] = {
    {"/tmp/uImage", "/dev/mtd1"},
    {"/tmp/rootfs.squashfs", "/dev/mtd2"},
    {"/tmp/varfs.jffs2", "/dev/mtd3"},
};

void moveUploadTo(const std::string &target)
{
    runShell(std::string("mv ") + UPLOAD_SAVE_PATH + "  " + target);
}

void exportConfig()
{
    runShell("/var/vesk/export_xml.sh");
}

// The archive holds a folder xml_config: the web configuration goes to its
// live place, everything else to the stack configuration folder.
void importConfig()
{
    const std::string importFolder = IMPORT_FOLDER;
    runShell(std::string("mv ") + UPLOAD_SAVE_PATH + " " + IMPORT_ARCHIVE_PATH);
    runShell(std::string("tar -xf ") + IMPORT_ARCHIVE_PATH + " -C /tmp/ ");
    runShell("cp -f " + importFolder + "/vesk_xml_cfg_file.xml  " + WEB_XML_PATH);
    runShell("cp -rf " + importFolder + "/*.*  " + XML_PARAMS_DIR);
    runShell(std::string("rm -rf ") + XML_PARAMS_DIR + "vesk*.*");
    runShell("rm -rf " + importFolder);
    runShell(std::string("rm -f ") + IMPORT_ARCHIVE_PATH);
}

// The upgrade script unpacks the archive; the unit is not restarted here.
void installUpdateArchive()
{
    runShell(std::string("rm -rf ") + UPDATE_ARCHIVE_PATH);
    runShell(std::string("rm -r ") + UPDATE_ARCHIVE_PATH);
    moveUploadTo(UPDATE_ARCHIVE_PATH);
    runShell("/var/vesk/upgrade.sh");
}

void writeFlash(const FlashImage &image)
{
    const std::string partition = image.partition;
    moveUploadTo(image.imagePath);
    runShell("/usr/sbin/flash_unlock " + partition + " ");
    // Start offset 0, block count 0: the whole partition.
    runShell("/usr/sbin/flash_erase " + partition + " 0 0 ");
    runShell(std::string("/bin/dd if=") + image.imagePath + " of=" + partition);
    runShell(REBOOT_PATH);
}

}  // namespace

void RequestProcess::processConfigTransfer()
{
    if (action == 0) {
        exportConfig();
        reply.sendReply(" 0");
    } else if (action == 1) {
        importConfig();
        reply.sendReply(" 0");
    }
}

void RequestProcess::processReboot()
{
    reply.sendReply("0");
    runShell(REBOOT_PATH);
}

void RequestProcess::processRestoreDefaults()
{
    reply.sendReply("0");
    runShell(std::string("/bin/cp -f /var/vesk/xml_default/*.*  ") + XML_PARAMS_DIR);
    runShell("rm -f /var/xml_params/vesk_xml_cfg_file.xml");
    runShell(std::string("/bin/cp -f ") + DEFAULT_WEB_XML_PATH + "  /var/vesk/website/www/xml/");
    runShell(std::string("rm -f ") + NEW_ONU_FLAG_PATH);
    runShell(REBOOT_PATH);
}

void RequestProcess::processUpgrade()
{
    const long updateType = std::strtol(params.getValue("update_type").c_str(), nullptr, 10);
    if (updateType < 0 || updateType > 3) {
        reply.sendReply("1");
        return;
    }
    reply.sendReply("0");
    if (updateType == 0)
        installUpdateArchive();
    else
        writeFlash(FLASH_IMAGES[updateType - 1]);
}

void RequestProcess::processNewOnuFlag()
{
    // Opening for reading and writing ("r+") never creates the file.
    FILE *flag = std::fopen(NEW_ONU_FLAG_PATH, "r+");
    if (!flag) {
        reply.sendReply("1");
        runShell(std::string("touch ") + NEW_ONU_FLAG_PATH);
        return;
    }
    std::fclose(flag);
    reply.sendReply("0");
}
