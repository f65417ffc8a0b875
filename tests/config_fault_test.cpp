// Configuration files cut short at every byte, missing, or with a folder in
// their place, fed to every store operation. Nothing may crash. A cut file is
// used as far as it parsed: a read answers from what is left; a write either
// fails leaving the file byte for byte as it was, or saves the part that
// parsed as a whole document. A missing file fails every operation, reads with
// their out-parameters as the caller gave them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "config/omci_mib_store.h"
#include "config/onu_profile_store.h"
#include "config/pon_config_store.h"
#include "config/tpm_config_store.h"
#include "config/web_config_store.h"
#include "config_test_files.h"
#include "xml/xml.h"

namespace {

// The unit's own configuration files, as the simulated unit ships them.
const std::filesystem::path IMAGE = std::filesystem::path(__FILE__).parent_path() / "../sim/image";

enum ConfigFile { WEB, GPON, EOAM, PROFILE, DEFAULT_PROFILE, OMCI, TPM };

struct ConfigFileSource {
    ConfigFile file;
    const char *name;       // in the test folder
    const char *imagePath;  // below IMAGE
};

const ConfigFileSource FILES[] = {
    {WEB, "web.xml", "var/vesk/website/www/xml/vesk_xml_cfg_file.xml"},
    {GPON, "gpon.xml", "etc/xml_params/gpon_xml_cfg_file.xml"},
    {EOAM, "eoam.xml", "etc/xml_params/eoam_xml_cfg_file.xml"},
    {PROFILE, "profile.xml", "etc/xml_params/onu_profile_xml_cfg_file.xml"},
    {DEFAULT_PROFILE, "default_profile.xml", "var/vesk/xml_default/onu_profile_xml_cfg_file.xml"},
    {OMCI, "omci.xml", "etc/xml_params/omci_xml_cfg_file.xml"},
    {TPM, "tpm.xml", "etc/xml_params/tpm_xml_cfg_file.xml"},
};

// Every store, each on its file in one folder.
struct Stores {
    explicit Stores(const std::string &folder)
        : web(folder + "/web.xml"), pon(folder + "/gpon.xml"),
          profile(folder + "/eoam.xml", folder + "/profile.xml", folder + "/default_profile.xml"),
          omci(folder + "/omci.xml"), tpm(folder + "/tpm.xml")
    {
    }
    WebConfigStore web;
    PonConfigStore pon;
    OnuProfileStore profile;
    OmciMibStore omci;
    TpmConfigStore tpm;
};

// Every out-parameter starts as KEEP; a list starts with one record of KEEPs.
const std::string KEEP = "keep";

struct Outcome {
    int result;
    std::string outs;  // the out-parameters' fields joined by "|"
    bool operator==(const Outcome &other) const
    {
        return result == other.result && outs == other.outs;
    }
};

template <typename... Texts>
std::string joined(const Texts &...texts)
{
    std::string line;
    ((line += texts, line += '|'), ...);
    return line;
}

// True when every field still holds KEEP (a cleared list holds none).
bool untouched(const std::string &outs)
{
    std::istringstream fields(outs);
    std::string field;
    int count = 0;
    while (std::getline(fields, field, '|')) {
        if (field != KEEP)
            return false;
        ++count;
    }
    return count > 0;
}

std::string queueText(const QueueValues &values)
{
    std::string line;
    for (const std::string &value : values.queue)
        line += joined(value);
    return line;
}

struct StoreCall {
    const char *name;
    ConfigFile file;
    bool writes;
    std::function<Outcome(Stores &)> run;
};

const QueueValues KEEP_QUEUES = {{KEEP, KEEP, KEEP, KEEP, KEEP, KEEP, KEEP, KEEP}};

// Writes take values the image does not hold, so that a write on a whole
// file really saves it.
const std::vector<StoreCall> CALLS = {
    {"getCommInfo", WEB, false, [](Stores &s) {
         CommInfo info{KEEP, KEEP, KEEP, KEEP};
         int result = s.web.getCommInfo(info);
         return Outcome{result, joined(info.vendor, info.model, info.softwareVersion, info.onuId)};
     }},
    {"getIpInfo", WEB, false, [](Stores &s) {
         IpInfo info{KEEP, KEEP, KEEP};
         int result = s.web.getIpInfo(info);
         return Outcome{result, joined(info.ipAddress, info.netMask, info.onuMac)};
     }},
    {"getAdminPassword", WEB, false, [](Stores &s) {
         std::string password = KEEP;
         int result = s.web.getAdminPassword(password);
         return Outcome{result, joined(password)};
     }},
    {"getUserPassword", WEB, false, [](Stores &s) {
         std::string password = KEEP;
         int result = s.web.getUserPassword(password);
         return Outcome{result, joined(password)};
     }},
    {"getAccountPassword", WEB, false, [](Stores &s) {
         std::string password = KEEP;
         int result = s.web.getAccountPassword("admin", password);
         return Outcome{result, joined(password)};
     }},
    {"getVlanPorts", WEB, false, [](Stores &s) {
         std::vector<VlanPortRecord> ports{{KEEP, KEEP, KEEP, KEEP, KEEP}};
         int result = s.web.getVlanPorts(ports);
         std::string outs;
         for (const VlanPortRecord &p : ports)
             outs += joined(p.port, p.mode, p.defaultVid, p.vidSum, p.vidSerial);
         return Outcome{result, outs};
     }},
    {"getFecInfo", WEB, false, [](Stores &s) {
         FecInfo info{KEEP, KEEP};
         int result = s.web.getFecInfo(info);
         return Outcome{result, joined(info.fecMode, info.fecAbility)};
     }},
    {"getAuthMode", WEB, false, [](Stores &s) {
         std::string mode = KEEP;
         int result = s.web.getAuthMode(mode);
         return Outcome{result, joined(mode)};
     }},
    {"getOnuSn", WEB, false, [](Stores &s) {
         std::string sn = KEEP;
         int result = s.web.getOnuSn(sn);
         return Outcome{result, joined(sn)};
     }},
    {"getLoid", WEB, false, [](Stores &s) {
         LoidInfo info{KEEP, KEEP};
         int result = s.web.getLoid(info);
         return Outcome{result, joined(info.loid, info.password)};
     }},
    {"getSwitchPorts", WEB, false, [](Stores &s) {
         std::vector<SwitchPortRecord> ports{{KEEP, KEEP, KEEP, KEEP, KEEP, KEEP}};
         int result = s.web.getSwitchPorts(ports);
         std::string outs;
         for (const SwitchPortRecord &p : ports)
             outs += joined(p.port, p.phyAdmin, p.flowControl, p.autoNeg, p.mode, p.modeMax);
         return Outcome{result, outs};
     }},
    {"getMacAgingTime", WEB, false, [](Stores &s) {
         std::string time = KEEP;
         int result = s.web.getMacAgingTime("0", time);
         return Outcome{result, joined(time)};
     }},
    {"getStorm", WEB, false, [](Stores &s) {
         std::string mode = KEEP, threshold = KEEP;
         int result = s.web.getStorm(mode, threshold);
         return Outcome{result, joined(mode, threshold)};
     }},
    {"setIpInfo", WEB, true, [](Stores &s) {
         return Outcome{s.web.setIpInfo({"10.9.9.9", "255.0.0.0", ""}), ""};
     }},
    {"setOnuMac", WEB, true, [](Stores &s) {
         return Outcome{s.web.setOnuMac("02:00:00:00:00:09"), ""};
     }},
    {"setAdminPassword", WEB, true, [](Stores &s) {
         return Outcome{s.web.setAdminPassword("admin9"), ""};
     }},
    {"setUserPassword", WEB, true, [](Stores &s) {
         return Outcome{s.web.setUserPassword("user9"), ""};
     }},
    {"setVlanPort", WEB, true, [](Stores &s) {
         return Outcome{s.web.setVlanPort({"0", "2", "9", "1", "9"}), ""};
     }},
    {"setFecMode", WEB, true, [](Stores &s) { return Outcome{s.web.setFecMode("1"), ""}; }},
    {"setAuthMode", WEB, true, [](Stores &s) { return Outcome{s.web.setAuthMode("1"), ""}; }},
    {"setOnuSn", WEB, true, [](Stores &s) { return Outcome{s.web.setOnuSn("SN9"), ""}; }},
    {"setLoid", WEB, true, [](Stores &s) { return Outcome{s.web.setLoid({"L9", "P9"}), ""}; }},
    {"setSwitchPort", WEB, true, [](Stores &s) {
         return Outcome{s.web.setSwitchPort({"0", "0", "1", "0", "1", ""}), ""};
     }},
    {"setMacAgingTime", WEB, true, [](Stores &s) {
         return Outcome{s.web.setMacAgingTime("0", "99"), ""};
     }},
    {"setStorm", WEB, true, [](Stores &s) { return Outcome{s.web.setStorm("1", "9"), ""}; }},

    {"getPonSerialNum", GPON, false, [](Stores &s) {
         std::string value = KEEP;
         int result = s.pon.getPonSerialNum(value);
         return Outcome{result, joined(value)};
     }},
    {"getPonPasswd", GPON, false, [](Stores &s) {
         std::string value = KEEP;
         int result = s.pon.getPonPasswd(value);
         return Outcome{result, joined(value)};
     }},
    {"getPonSerialSrc", GPON, false, [](Stores &s) {
         std::string value = KEEP;
         int result = s.pon.getPonSerialSrc(value);
         return Outcome{result, joined(value)};
     }},
    {"setPonSerialNum", GPON, true, [](Stores &s) {
         return Outcome{s.pon.setPonSerialNum("SN9"), ""};
     }},
    {"setPonPasswd", GPON, true, [](Stores &s) { return Outcome{s.pon.setPonPasswd("9"), ""}; }},
    {"setPonSerialSrc", GPON, true, [](Stores &s) {
         return Outcome{s.pon.setPonSerialSrc("1"), ""};
     }},

    {"getVendorInfo", PROFILE, false, [](Stores &s) {
         OnuVendorInfo info{KEEP, KEEP, KEEP, KEEP};
         int result = s.profile.getVendorInfo(info);
         return Outcome{result, joined(info.vendor, info.model, info.hardwareVersion,
                                       info.softwareVersion)};
     }},
    {"getChipInfo", PROFILE, false, [](Stores &s) {
         ChipInfo info{KEEP, KEEP, KEEP, KEEP};
         int result = s.profile.getChipInfo(info);
         return Outcome{result,
                        joined(info.chipId, info.chipRevision, info.chipIcData, info.chipModel)};
     }},
    {"getCapability", PROFILE, false, [](Stores &s) {
         OnuCapability c{KEEP, KEEP, KEEP, KEEP, KEEP, KEEP, KEEP, KEEP, KEEP, KEEP, KEEP, KEEP};
         int result = s.profile.getCapability(c);
         return Outcome{result, joined(c.geNumber, c.geBitmap, c.feNumber, c.feBitmapLsb,
                                       c.feBitmapMsb, c.potsNumber, c.usqNumber, c.maxUsqNumber,
                                       c.dsqNumber, c.maxDsqNumber, c.batteryBackup, c.onuType)};
     }},
    {"getFirmwareVersion", PROFILE, false, [](Stores &s) {
         std::string version = KEEP;
         int result = s.profile.getFirmwareVersion(version);
         return Outcome{result, joined(version)};
     }},
    {"setVendorInfo", PROFILE, true, [](Stores &s) {
         return Outcome{s.profile.setVendorInfo({"V9", "M9", "H9", "S9"}), ""};
     }},
    {"getDefaultVendorInfo", DEFAULT_PROFILE, false, [](Stores &s) {
         OnuVendorInfo info{KEEP, KEEP, KEEP, KEEP};
         int result = s.profile.getDefaultVendorInfo(info);
         return Outcome{result, joined(info.vendor, info.model, info.hardwareVersion,
                                       info.softwareVersion)};
     }},
    {"getMulticastSwitch", EOAM, false, [](Stores &s) {
         std::string value = KEEP;
         int result = s.profile.getMulticastSwitch(value);
         return Outcome{result, joined(value)};
     }},
    {"getMulticastGroupNum", EOAM, false, [](Stores &s) {
         std::string value = KEEP;
         int result = s.profile.getMulticastGroupNum(value);
         return Outcome{result, joined(value)};
     }},
    {"getLoopDetect", EOAM, false, [](Stores &s) {
         std::string value = KEEP;
         int result = s.profile.getLoopDetect("0", value);
         return Outcome{result, joined(value)};
     }},
    {"setMulticastSwitch", EOAM, true, [](Stores &s) {
         return Outcome{s.profile.setMulticastSwitch("1"), ""};
     }},
    {"setLoopDetect", EOAM, true, [](Stores &s) {
         return Outcome{s.profile.setLoopDetect("0", "1"), ""};
     }},

    {"getCtcLoidAuth", OMCI, false, [](Stores &s) {
         LoidInfo info{KEEP, KEEP};
         int result = s.omci.getCtcLoidAuth(info);
         return Outcome{result, joined(info.loid, info.password)};
     }},
    {"getPortIsolation", OMCI, false, [](Stores &s) {
         std::string value = KEEP;
         int result = s.omci.getPortIsolation(value);
         return Outcome{result, joined(value)};
     }},
    {"setCtcLoidAuth", OMCI, true, [](Stores &s) {
         return Outcome{s.omci.setCtcLoidAuth({"L9", "P9"}), ""};
     }},
    {"setPortIsolation", OMCI, true, [](Stores &s) {
         return Outcome{s.omci.setPortIsolation("true"), ""};
     }},

    {"getMtu", TPM, false, [](Stores &s) {
         MtuInfo info{KEEP, KEEP, KEEP, KEEP};
         int result = s.tpm.getMtu(info);
         return Outcome{result, joined(info.mtuSettingEnable, info.ipv4DsMtu, info.ipv4UsMtu,
                                       info.ipv4pppoeUsMtu)};
     }},
    {"getSchedMethod", TPM, false, [](Stores &s) {
         std::string method = KEEP;
         int result = s.tpm.getSchedMethod(method);
         return Outcome{result, joined(method)};
     }},
    {"getQueueWeights", TPM, false, [](Stores &s) {
         QueueValues values = KEEP_QUEUES;
         int result = s.tpm.getQueueWeights(values);
         return Outcome{result, queueText(values)};
     }},
    {"getTxQueueSizes", TPM, false, [](Stores &s) {
         QueueValues values = KEEP_QUEUES;
         int result = s.tpm.getTxQueueSizes(values);
         return Outcome{result, queueText(values)};
     }},
    {"getGmacQueueSizes", TPM, false, [](Stores &s) {
         QueueValues values = KEEP_QUEUES;
         int result = s.tpm.getGmacQueueSizes(values);
         return Outcome{result, queueText(values)};
     }},
    {"setMtu", TPM, true, [](Stores &s) {
         return Outcome{s.tpm.setMtu({"0", "1400", "1400", "1400"}), ""};
     }},
    {"setSchedMethod", TPM, true, [](Stores &s) { return Outcome{s.tpm.setSchedMethod("1"), ""}; }},
    {"setFlowControl", TPM, true, [](Stores &s) { return Outcome{s.tpm.setFlowControl("1"), ""}; }},
    {"setQueueWeight", TPM, true, [](Stores &s) {
         return Outcome{s.tpm.setQueueWeight("1", "9"), ""};
     }},
    {"setTxQueueSize", TPM, true, [](Stores &s) {
         return Outcome{s.tpm.setTxQueueSize("1", "9"), ""};
     }},
    {"setGmacQueueSize", TPM, true, [](Stores &s) {
         return Outcome{s.tpm.setGmacQueueSize("1", "9"), ""};
     }},
};

std::string imageText(const ConfigFileSource &source)
{
    return readFile((IMAGE / source.imagePath).string());
}

bool parsesWhole(std::string text)
{
    XmlNode *root = xmlParseString(text.data(), text.size());
    const bool whole = *xmlError(root) == '\0';
    xmlFree(root);
    return whole;
}

std::vector<std::string> folderEntries(const std::string &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ConfigFaultTest : public ::testing::Test {
protected:
    ConfigFaultTest() : stores(folder.path)
    {
        for (const ConfigFileSource &source : FILES)
            folder.write(source.name, imageText(source));
        entries = folderEntries(folder.path);
    }

    std::string pathOf(const ConfigFileSource &source) const
    {
        return folder.path + "/" + source.name;
    }

    TempFolder folder;
    Stores stores;
    std::vector<std::string> entries;  // a failed write leaves no file behind
};

TEST_F(ConfigFaultTest, ImageFilesAreWholeAndEveryStoreReadsThem)
{
    for (const StoreCall &call : CALLS) {
        if (call.writes)
            continue;
        Outcome outcome = call.run(stores);
        EXPECT_EQ(0, outcome.result) << call.name;
        EXPECT_FALSE(untouched(outcome.outs)) << call.name;
    }
}

// From the root's closing '>' on only the line end is missing and every
// operation behaves as on the whole file.
TEST_F(ConfigFaultTest, TruncatedAtEveryByte)
{
    for (const ConfigFileSource &source : FILES) {
        const std::string whole = imageText(source);
        const std::string path = pathOf(source);
        const size_t wholeFrom = whole.rfind('>') + 1;

        std::map<std::string, Outcome> onWhole;
        for (const StoreCall &call : CALLS) {
            if (call.file == source.file) {
                onWhole[call.name] = call.run(stores);
                folder.write(source.name, whole);
            }
        }

        for (size_t length = 0; length < whole.size(); ++length) {
            const std::string cut = whole.substr(0, length);
            folder.write(source.name, cut);
            for (const StoreCall &call : CALLS) {
                if (call.file != source.file)
                    continue;
                Outcome outcome = call.run(stores);
                if (length >= wholeFrom) {
                    EXPECT_EQ(onWhole[call.name], outcome) << call.name << " cut at " << length;
                    folder.write(source.name, cut);
                    continue;
                }
                ASSERT_TRUE(outcome.result == 0 || outcome.result == -1)
                    << call.name << " cut at " << length;
                if (call.writes && outcome.result == -1) {
                    ASSERT_EQ(cut, readFile(path)) << call.name << " cut at " << length;
                } else if (call.writes) {
                    // Nothing to change in what is left is no write at all.
                    const std::string after = readFile(path);
                    ASSERT_TRUE(after == cut || parsesWhole(after)) << call.name << " cut at " << length;
                    folder.write(source.name, cut);
                }
            }
            ASSERT_EQ(entries, folderEntries(folder.path)) << source.name << " cut at " << length;
        }
        folder.write(source.name, whole);
    }
}

TEST_F(ConfigFaultTest, MissingFileOrFolderInItsPlace)
{
    for (const ConfigFileSource &source : FILES) {
        const std::string path = pathOf(source);
        for (bool folderInPlace : {false, true}) {
            unlink(path.c_str());
            if (folderInPlace)
                mkdir(path.c_str(), 0755);
            const std::vector<std::string> before = folderEntries(folder.path);
            for (const StoreCall &call : CALLS) {
                if (call.file != source.file)
                    continue;
                Outcome outcome = call.run(stores);
                EXPECT_EQ(-1, outcome.result) << call.name;
                if (!call.writes) {
                    EXPECT_TRUE(untouched(outcome.outs)) << call.name << ": " << outcome.outs;
                }
            }
            EXPECT_EQ(before, folderEntries(folder.path)) << source.name;
            struct stat status;
            EXPECT_EQ(folderInPlace, stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
                << source.name;
            if (folderInPlace) {
                EXPECT_TRUE(std::filesystem::is_empty(path)) << source.name;
            }
            std::filesystem::remove(path);
        }
        folder.write(source.name, imageText(source));
    }
}

}  // namespace
