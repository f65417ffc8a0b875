// Maintenance of the unit as a whole: configuration export and import (10),
// restart (11), factory defaults (18), firmware upgrade (21) and the first-use
// flag (33). They work through shell commands run in a fixed order whose exit
// statuses are never examined; where the reply comes first it is flushed
// before anything runs, since the unit may restart under the request.
// Uploads are checked in-process before any of that: an image that does not
// fit its partition or is not of its kind, or an archive that holds anything
// but the configuration files, is removed and refused with nothing run.
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "config/paths.h"
#include "config/resource_lock.h"
#include "device/whole_file.h"
#include "web/clish_bridge.h"
#include "web/config_archive.h"
#include "web/firmware_image.h"
#include "web/request_process.h"
#include "web/web_data_comm.h"

namespace {

// The web configuration's file name; the others go live under XML_PARAMS_DIR.
const char WEB_XML_NAME[] = "vesk_xml_cfg_file.xml";
const char IMPORT_ARCHIVE_PATH[] = "/tmp/xml_in.tar";
// The folder an import archive must hold; unpacked below /tmp.
const char IMPORT_FOLDER[] = "/tmp/xml_config";
const char UPDATE_ARCHIVE_PATH[] = "/tmp/jffs2_fs.tar.gz";

// Where a firmware image waits before it is written to FLASH_PARTITIONS[i].
const char *const FLASH_IMAGE_PATHS[] = {"/tmp/uImage", "/tmp/rootfs.squashfs", "/tmp/varfs.jffs2"};

void moveUploadTo(const std::string &target) { runShell(std::string("mv ") + UPLOAD_SAVE_PATH + "  " + target); }

// The upload as a stream, none when it is missing or not a regular file.
FILE *openUpload()
{
    const int fd = openRegularFile(UPLOAD_SAVE_PATH);
    FILE *upload = fd >= 0 ? fdopen(fd, "rb") : nullptr;
    if (fd >= 0 && upload == nullptr)
        close(fd);
    return upload;
}

bool uploadIsFirmware(long updateType)
{
    FILE *upload = openUpload();
    if (upload == nullptr)
        return false;
    const bool valid = checkFirmwareImage(updateType, upload, firmwareSizeLimit(updateType)) == 0;
    std::fclose(upload);
    return valid;
}

int readUploadedArchive(std::vector<ConfigArchiveFile> &files)
{
    FILE *upload = openUpload();
    if (upload == nullptr)
        return -1;
    const int result = readConfigArchive(upload, files);
    std::fclose(upload);
    return result;
}

void exportConfig() { runShell("/var/vesk/export_xml.sh"); }

// The archive holds a folder xml_config: the web configuration goes to its
// live place, everything else to the stack configuration folder.
void runImportCommands()
{
    const std::string importFolder = IMPORT_FOLDER;
    runShell(std::string("mv ") + UPLOAD_SAVE_PATH + " " + IMPORT_ARCHIVE_PATH);
    runShell(std::string("tar -xf ") + IMPORT_ARCHIVE_PATH + " -C /tmp/ ");
    runShell("cp -f " + importFolder + "/" + WEB_XML_NAME + "  " + WEB_XML_PATH);
    runShell("cp -rf " + importFolder + "/*.*  " + XML_PARAMS_DIR);
    runShell(std::string("rm -rf ") + XML_PARAMS_DIR + "vesk*.*");
    runShell("rm -rf " + importFolder);
    runShell(std::string("rm -f ") + IMPORT_ARCHIVE_PATH);
}

// Where an imported file goes live, as the import's copies place it.
std::string livePath(const std::string &name)
{
    return name == WEB_XML_NAME ? std::string(WEB_XML_PATH) : XML_PARAMS_DIR + name;
}

// A live file that an import replaces, with the copy that puts it back.
struct ReplacedFile {
    std::string path;      // the file itself, links resolved
    std::string backup;    // its copy beside it; empty when the file did not exist
    std::string imported;  // what the import must leave in it
};

// Copies `file.path` to a new file beside it (so that putting it back is a
// rename, which needs no free space), written through to the disk.
bool backUp(ReplacedFile &file)
{
    std::string bytes;
    struct stat status;
    if (stat(file.path.c_str(), &status) != 0)
        return errno == ENOENT;
    if (readWholeFile(file.path, bytes, true) != 0)
        return false;
    std::string backup = file.path + ".XXXXXX";
    const int fd = mkstemp(&backup[0]);
    if (fd < 0)
        return false;
    FILE *copy = fdopen(fd, "wb");
    if (copy == nullptr) {
        close(fd);
        unlink(backup.c_str());
        return false;
    }
    bool written = fchmod(fd, status.st_mode & 07777) == 0 &&
                   std::fwrite(bytes.data(), 1, bytes.size(), copy) == bytes.size() && std::fflush(copy) == 0 &&
                   fsync(fd) == 0;
    written = std::fclose(copy) == 0 && written;
    if (!written) {
        unlink(backup.c_str());
        return false;
    }
    file.backup = backup;
    return true;
}

// The file as it was before the import: its copy renamed back, or removed
// when it did not exist.
void putBack(const ReplacedFile &file)
{
    if (file.backup.empty())
        unlink(file.path.c_str());
    else
        rename(file.backup.c_str(), file.path.c_str());
}

void dropBackup(const ReplacedFile &file)
{
    if (!file.backup.empty())
        unlink(file.backup.c_str());
}

// Descriptors a folder walk may hold open at once.
constexpr int FOLDER_WALK_DESCRIPTORS = 8;

// Removes a folder's whole tree, depth first, links themselves.
int removeEntry(const char *path, const struct stat *, int, struct FTW *)
{
    std::remove(path);
    return 0;
}

// Replaces the live configuration with a checked archive's files by the
// import's commands, then makes sure each file holds what the archive held;
// otherwise (a disk that filled, a copy that failed) the previous files are
// put back. The files' locks are held throughout so that no store write
// interleaves; they are taken in path order, as every holder of several must.
int importConfig(const std::vector<ConfigArchiveFile> &files)
{
    std::vector<ReplacedFile> replaced;
    for (const ConfigArchiveFile &file : files)
        replaced.push_back({livePath(file.name), "", file.bytes});
    std::sort(replaced.begin(), replaced.end(),
              [](const ReplacedFile &a, const ReplacedFile &b) { return a.path < b.path; });
    std::vector<std::unique_ptr<ResourceLock>> locks;
    for (ReplacedFile &file : replaced) {
        locks.push_back(std::make_unique<ResourceLock>(file.path));
        char resolved[PATH_MAX];
        if (realpath(file.path.c_str(), resolved))
            file.path = resolved;
    }
    const bool ready = std::all_of(locks.begin(), locks.end(), [](const auto &lock) { return lock->held(); }) &&
                       std::all_of(replaced.begin(), replaced.end(), [](ReplacedFile &file) { return backUp(file); });
    if (!ready) {
        std::for_each(replaced.begin(), replaced.end(), dropBackup);
        unlink(UPLOAD_SAVE_PATH);
        return -1;
    }

    // A folder left by an interrupted import would add its files to these.
    nftw(IMPORT_FOLDER, removeEntry, FOLDER_WALK_DESCRIPTORS, FTW_DEPTH | FTW_PHYS);
    runImportCommands();

    const bool imported = std::all_of(replaced.begin(), replaced.end(), [](const ReplacedFile &file) {
        std::string bytes;
        return readWholeFile(file.path, bytes, true) == 0 && bytes == file.imported;
    });
    std::for_each(replaced.begin(), replaced.end(), imported ? dropBackup : putBack);
    return imported ? 0 : -1;
}

void installUpdateArchive()
{
    runShell(std::string("rm -rf ") + UPDATE_ARCHIVE_PATH);
    runShell(std::string("rm -r ") + UPDATE_ARCHIVE_PATH);
    moveUploadTo(UPDATE_ARCHIVE_PATH);
    runShell("/var/vesk/upgrade.sh");
}

void writeFlash(const char *imagePath, const std::string &partition)
{
    moveUploadTo(imagePath);
    runShell("/usr/sbin/flash_unlock " + partition + " ");
    // Start offset 0, block count 0: the whole partition.
    runShell("/usr/sbin/flash_erase " + partition + " 0 0 ");
    runShell(std::string("/bin/dd if=") + imagePath + " of=" + partition);
    runShell(REBOOT_PATH);
}

}  // namespace

void RequestProcess::processConfigTransfer()
{
    if (action == 0) {
        exportConfig();
        reply.sendReply(" 0");
    } else if (action == 1) {
        // Only a checked archive is unpacked; anything else is removed and nothing runs.
        std::vector<ConfigArchiveFile> files;
        if (readUploadedArchive(files) != 0) {
            unlink(UPLOAD_SAVE_PATH);
            reply.sendReply(" 1");
            return;
        }
        reply.sendReply(importConfig(files) == 0 ? " 0" : " 1");
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
    runShell(std::string("/bin/cp -f ") + XML_DEFAULT_DIR + "*.*  " + XML_PARAMS_DIR);
    runShell("rm -f /var/xml_params/vesk_xml_cfg_file.xml");
    runShell(std::string("/bin/cp -f ") + DEFAULT_WEB_XML_PATH + "  " + WEB_XML_DIR);
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
    // An image of the wrong kind or size would leave the unit unable to start.
    if (!uploadIsFirmware(updateType)) {
        unlink(UPLOAD_SAVE_PATH);
        reply.sendReply("1");
        return;
    }
    reply.sendReply("0");
    if (updateType == 0)
        installUpdateArchive();
    else
        writeFlash(FLASH_IMAGE_PATHS[updateType - 1], FLASH_PARTITIONS[updateType - 1]);
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
