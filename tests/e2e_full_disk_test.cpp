// Store writes on a full disk: a write that answers failure leaves every file
// byte for byte and no temporary copy; with room, the writes answer success,
// are stored, and the files parse whole.

#include <filesystem>
#include <map>

#include "e2e_support.h"
#include "xml/xml.h"

namespace {

const char *const FOLDERS[] = {"/var/vesk/website/www/xml", "/etc/xml_params"};

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
                done)").status == 0;
    }
    ~FullDisks() { for (const std::string folder : FOLDERS) runProgram("umount " + folder); }
    void makeRoom(int folder) { std::filesystem::remove(FOLDERS[folder] + std::string("/filler")); }
    int mounted = 0;
};

// The files of a folder but the filler, by path.
std::map<std::string, std::string> contents(const std::string &folder)
{
    std::map<std::string, std::string> files;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename() != "filler")
            files[entry.path().string()] = readFile(entry.path().string());
    return files;
}

struct Write {
    std::string query, done, refused;
    const char *path;
    std::string stored;  // in the file once the write is stored
};

// Each write a change. Commands 5, 23 and 26 also store where results are not
// otherwise consulted; 23 stores its port (web file) before its flow control.
const Write WRITES[] = {
    {"cmd_id=25&action=1&age_time=77", jsonReply(" 0"), jsonReply(" 1"), WEB_XML_PATH, "time=\"77\""},
    {"cmd_id=20&pwdold=user&pwdnew=n3w", jsonReply("0"), jsonReply("2"), WEB_XML_PATH, "<user>n3w<"},
    {"cmd_id=5&action=1&sn=SN1&loid=L1&password=P1&ponSerialNum=ABCD00000001&ponPassword=pwd1234567"
     "&gpon_loid=gl01&gpon_password=gp01&vendor_id=ACME&onu_model=M2&hard_ver=H2&soft_ver=S2&auth_mode=1&fec_mode=1",
     jsonReply("0"), jsonReply("1"), GPON_XML_PATH, "<PON_serial_num>ABCD00000001<"},
    {"cmd_id=26&action=1&algo_mode=1", jsonReply("0"), jsonReply("1"), TPM_XML_PATH, "sched_method=\"1\""},
    {"cmd_id=24&action=1&iso=1", jsonReply("0"), jsonReply("1"), OMCI_XML_PATH, "enabled=\"true\""},
    {"cmd_id=17&action=1&mc_mode=1", jsonReply("0"), errorReply(405, "set multicast mode fail"), EOAM_XML_PATH,
     "<oam_multicast_switch>1<"},
    {"cmd_id=23&action=1&port=0&flow_control=1&auto=1&mode=2", jsonReply("0"), jsonReply("1  "), TPM_XML_PATH,
     "<enabled>1<"},
};
const Write &PORT_WRITE = WRITES[std::size(WRITES) - 1];

using FullDiskTest = SimulatedUnitTest;

TEST_F(FullDiskTest, NoAcknowledgedChangeLostNoFileCut)
{
    FullDisks disks;
    ASSERT_EQ(disks.mounted, 2);
    const std::map<std::string, std::string> before[] = {contents(FOLDERS[0]), contents(FOLDERS[1])};
    for (const Write &w : WRITES)
        EXPECT_EQ(runCgi(w.query).output, w.refused) << w.query;
    for (int i : {0, 1})
        EXPECT_EQ(contents(FOLDERS[i]), before[i]);

    disks.makeRoom(0);  // for the port, none for its flow control
    EXPECT_EQ(runCgi(PORT_WRITE.query).output, PORT_WRITE.refused);
    EXPECT_NE(readFile(WEB_XML_PATH).find("flow_control=\"1\" auto_neg=\"1\" mode=\"2\""), std::string::npos);
    EXPECT_EQ(contents(FOLDERS[1]), before[1]);

    disks.makeRoom(1);
    for (const Write &w : WRITES) {
        EXPECT_EQ(runCgi(w.query).output, w.done) << w.query;
        EXPECT_NE(readFile(w.path).find(w.stored), std::string::npos) << w.query;
    }
    for (int i : {0, 1}) {
        const auto after = contents(FOLDERS[i]);
        EXPECT_EQ(after.size(), before[i].size());  // no temporary copy left
        for (const auto &[path, bytes] : after) {
            XmlNode *doc = xmlParseFile(path.c_str());
            EXPECT_TRUE(doc && !*xmlError(doc)) << path;
            xmlFree(doc);
        }
    }
}

}  // namespace
