// Writes whose stores cannot save on a full disk, where a command consults
// the count of unsaved writes (the stores' own failures on a full disk are
// pinned by config_fault_test): refused, every file left byte for byte.

#include <map>

#include "e2e_support.h"

const char *const FOLDERS[] = {WEB_XML_DIR, XML_PARAMS_DIR};

// A small file system (tmpfs) over each folder, with copies of the folder's
// files and a filler taking every byte left; unmounted when it ends, which
// brings the folder's own files back untouched.
struct FullDisks {
    FullDisks()
    {
        for (const std::string folder : FOLDERS)
            mounted += runProgram("set -e; f=" + folder + R"(; copy=$(mktemp -d); cp -a $f/. $copy
                mount -t tmpfs -o size=64k full $f; cp -a $copy/. $f; rm -r $copy
                for size in 4096 1; do
                    dd if=/dev/zero of=$f/filler bs=$size oflag=append conv=notrunc status=none 2>/dev/null || true
                done)")
                           .status == 0;
    }
    ~FullDisks()
    {
        for (const std::string folder : FOLDERS)
            runProgram("umount " + folder);
    }
    int mounted = 0;
};

// The files of a folder but the filler, by path.
static std::map<std::string, std::string> contents(const std::string &folder)
{
    std::map<std::string, std::string> files;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename() != "filler")
            files[entry.path().string()] = readFile(entry.path().string());
    return files;
}

using FullDiskTest = SimulatedUnitTest;

// Command 23 stores its port (web file) before its flow control: with room
// for the port only, the port is stored and the write refused all the same.
TEST_F(FullDiskTest, UnsavedWritesAreRefused)
{
    FullDisks disks;
    ASSERT_EQ(disks.mounted, 2);
    const std::map<std::string, std::string> before[] = {contents(FOLDERS[0]), contents(FOLDERS[1])};
    const char *port = "cmd_id=23&action=1&port=0&flow_control=1&auto=1&mode=2";
    for (const std::string query : {"cmd_id=5&action=1&sn=SN1&loid=L1&password=P1&ponSerialNum=ABCD00000001"
                                    "&auth_mode=1&fec_mode=1",
                                    "cmd_id=26&action=1&algo_mode=1", port})
        EXPECT_EQ(runCgi(query).output, jsonReply(query == port ? "1  " : "1")) << query;
    for (int i : {0, 1})
        EXPECT_EQ(contents(FOLDERS[i]), before[i]);

    std::filesystem::remove(std::string(WEB_XML_DIR) + "filler");
    EXPECT_EQ(runCgi(port).output, jsonReply("1  "));
    EXPECT_NE(readFile(WEB_XML_PATH).find("flow_control=\"1\" auto_neg=\"1\" mode=\"2\""), std::string::npos);
    EXPECT_EQ(contents(FOLDERS[1]), before[1]);
    EXPECT_TRUE(clishScripts().empty());
}
