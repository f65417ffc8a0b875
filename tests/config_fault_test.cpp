// Every store operation on the unit's files cut at every byte, missing, a folder or a bare root, and every write
// whose save fails. A cut file is used as far as it parsed: a read never writes; a write fails leaving the file as it
// was or saves the parsed part whole. Without a file or its sections every operation fails, writing nothing; a save
// that fails leaves the file whole.

#include <functional>
#include <map>
#include <tuple>
#include <utility>

#include "config/omci_mib_store.h"
#include "config/onu_profile_store.h"
#include "config/pon_config_store.h"
#include "config/store_edit.h"
#include "config/tpm_config_store.h"
#include "config/web_config_store.h"
#include "unit_support.h"

const std::filesystem::path IMAGE = std::filesystem::path(__FILE__).parent_path() / "../rootfs";

// Each file: its name in the test folder and its place in the unit's image.
const std::pair<const char *, const char *> FILES[] = {
    {"web.xml", "var/vesk/website/www/xml/vesk_xml_cfg_file.xml"},
    {"gpon.xml", "etc/xml_params/gpon_xml_cfg_file.xml"},
    {"eoam.xml", "etc/xml_params/eoam_xml_cfg_file.xml"},
    {"profile.xml", "etc/xml_params/onu_profile_xml_cfg_file.xml"},
    {"default_profile.xml", "var/vesk/xml_default/onu_profile_xml_cfg_file.xml"},
    {"omci.xml", "etc/xml_params/omci_xml_cfg_file.xml"},
    {"tpm.xml", "etc/xml_params/tpm_xml_cfg_file.xml"},
};

// Every store, each on its file in one folder; std::get picks one by its type.
struct Stores : std::tuple<WebConfigStore, PonConfigStore, OnuProfileStore, OmciMibStore, TpmConfigStore> {
    explicit Stores(const std::string &f)
        : tuple(WebConfigStore(f + "/web.xml"), PonConfigStore(f + "/gpon.xml"),
                OnuProfileStore(f + "/eoam.xml", f + "/profile.xml", f + "/default_profile.xml"),
                OmciMibStore(f + "/omci.xml"), TpmConfigStore(f + "/tpm.xml"))
    {
    }
};

struct StoreCall {
    const char *name;
    const char *file;
    bool writes;
    std::function<int(Stores &)> run;
};

template <typename Store, typename Record>
static StoreCall read(const char *name, const char *file, int (Store::*op)(Record &))
{
    return {name, file, false,
            [=](Stores &s) {
                Record record{};
                return (std::get<Store>(s).*op)(record);
            }};
}

template <typename Store, typename... Parameters, typename... Values>
static StoreCall write(const char *name, const char *file, int (Store::*op)(Parameters...), Values... values)
{
    return {name, file, true, [=](Stores &s) { return (std::get<Store>(s).*op)(values...); }};
}

using Web = WebConfigStore;
using Profile = OnuProfileStore;
using Tpm = TpmConfigStore;
static std::string text;

// Writes take values the image does not hold, so that a write on a whole
// file really saves it. Of operations sharing one leaf or queue helper in
// one section only one is listed.
const std::vector<StoreCall> CALLS = {
    read("getCommInfo", "web.xml", &Web::getCommInfo),
    read("getIpInfo", "web.xml", &Web::getIpInfo),
    read("getAdminPassword", "web.xml", &Web::getAdminPassword),
    {"getAccountPassword", "web.xml", false,
     [](Stores &s) { return std::get<Web>(s).getAccountPassword("admin", text); }},
    read("getVlanPorts", "web.xml", &Web::getVlanPorts),
    read("getFecInfo", "web.xml", &Web::getFecInfo),
    read("getOnuSn", "web.xml", &Web::getOnuSn),
    read("getLoid", "web.xml", &Web::getLoid),
    read("getSwitchPorts", "web.xml", &Web::getSwitchPorts),
    {"getMacAgingTime", "web.xml", false, [](Stores &s) { return std::get<Web>(s).getMacAgingTime("0", text); }},
    {"getStorm", "web.xml", false, [](Stores &s) { return std::get<Web>(s).getStorm(text, text); }},
    write("setIpInfo", "web.xml", &Web::setIpInfo, IpInfo{"10.9.9.9", "255.0.0.0", ""}),
    write("setOnuMac", "web.xml", &Web::setOnuMac, "02:00:00:00:00:09"),
    write("setAdminPassword", "web.xml", &Web::setAdminPassword, "admin9"),
    write("setVlanPort", "web.xml", &Web::setVlanPort, VlanPortRecord{"0", "2", "9", "1", "9"}),
    write("setOnuSn", "web.xml", &Web::setOnuSn, "SN9"),
    write("setLoid", "web.xml", &Web::setLoid, LoidInfo{"L9", "P9"}),
    write("setSwitchPort", "web.xml", &Web::setSwitchPort, SwitchPortRecord{"0", "0", "1", "0", "1", ""}),
    write("setMacAgingTime", "web.xml", &Web::setMacAgingTime, "0", "99"),
    write("setStorm", "web.xml", &Web::setStorm, "1", "9"),

    read("getPonSerialNum", "gpon.xml", &PonConfigStore::getPonSerialNum),
    read("getPonSerialSrc", "gpon.xml", &PonConfigStore::getPonSerialSrc),
    write("setPonSerialNum", "gpon.xml", &PonConfigStore::setPonSerialNum, "SN9"),
    write("setPonSerialSrc", "gpon.xml", &PonConfigStore::setPonSerialSrc, "1"),

    read("getVendorInfo", "profile.xml", &Profile::getVendorInfo),
    read("getChipInfo", "profile.xml", &Profile::getChipInfo),
    read("getCapability", "profile.xml", &Profile::getCapability),
    read("getFirmwareVersion", "profile.xml", &Profile::getFirmwareVersion),
    write("setVendorInfo", "profile.xml", &Profile::setVendorInfo, OnuVendorInfo{"V9", "M9", "H9", "S9"}),
    read("getDefaultVendorInfo", "default_profile.xml", &Profile::getDefaultVendorInfo),
    read("getMulticastSwitch", "eoam.xml", &Profile::getMulticastSwitch),
    read("getMulticastGroupNum", "eoam.xml", &Profile::getMulticastGroupNum),
    {"getLoopDetect", "eoam.xml", false, [](Stores &s) { return std::get<Profile>(s).getLoopDetect("0", text); }},
    write("setMulticastSwitch", "eoam.xml", &Profile::setMulticastSwitch, "1"),
    write("setLoopDetect", "eoam.xml", &Profile::setLoopDetect, "0", "1"),

    read("getCtcLoidAuth", "omci.xml", &OmciMibStore::getCtcLoidAuth),
    read("getPortIsolation", "omci.xml", &OmciMibStore::getPortIsolation),
    write("setCtcLoidAuth", "omci.xml", &OmciMibStore::setCtcLoidAuth, LoidInfo{"L9", "P9"}),
    write("setPortIsolation", "omci.xml", &OmciMibStore::setPortIsolation, "true"),

    read("getMtu", "tpm.xml", &Tpm::getMtu),
    read("getSchedMethod", "tpm.xml", &Tpm::getSchedMethod),
    read("getQueueWeights", "tpm.xml", &Tpm::getQueueWeights),
    read("getGmacQueueSizes", "tpm.xml", &Tpm::getGmacQueueSizes),
    write("setMtu", "tpm.xml", &Tpm::setMtu, MtuInfo{"0", "1400", "1400", "1400"}),
    write("setSchedMethod", "tpm.xml", &Tpm::setSchedMethod, "1"),
    write("setFlowControl", "tpm.xml", &Tpm::setFlowControl, "1"),
    write("setQueueWeight", "tpm.xml", &Tpm::setQueueWeight, "1", "9"),
    write("setGmacQueueSize", "tpm.xml", &Tpm::setGmacQueueSize, "1", "9"),
};

static std::vector<std::string> folderEntries(const std::string &folder)
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
        for (const auto &[name, imagePath] : FILES)
            folder.write(name, readFile((IMAGE / imagePath).string()));
        entries = folderEntries(folder.path);
    }

    TempFolder folder;
    Stores stores;
    std::vector<std::string> entries;  // a failed write leaves no file behind
};

// From the root's closing '>' on only the line end is missing and every
// operation gives what it gives on the whole file.
TEST_F(ConfigFaultTest, TruncatedAtEveryByte)
{
    for (const auto &[name, imagePath] : FILES) {
        const std::string whole = readFile((IMAGE / imagePath).string());
        const std::string path = folder.path + "/" + name;
        std::map<std::string, int> onWhole;
        for (const StoreCall &call : CALLS) {
            if (call.file == std::string(name)) {
                EXPECT_EQ(onWhole[call.name] = call.run(stores), 0) << call.name;
                folder.write(name, whole);
            }
        }
        for (size_t length = 0; length < whole.size(); ++length) {
            const std::string cut = whole.substr(0, length);
            folder.write(name, cut);
            for (const StoreCall &call : CALLS) {
                if (call.file != std::string(name))
                    continue;
                const int result = call.run(stores);
                const std::string where = std::string(call.name) + " cut at " + std::to_string(length);
                ASSERT_TRUE(length <= whole.rfind('>') || result == onWhole[call.name]) << where;
                ASSERT_TRUE(result == 0 || (result == -1 && readFile(path) == cut)) << where;
                if (!untouched(path)) {
                    // Nothing to change in what is left is no write at all.
                    ASSERT_TRUE(call.writes && ParsedXml(readFile(path)).error().empty()) << where;
                    folder.write(name, cut);
                }
            }
            ASSERT_EQ(entries, folderEntries(folder.path)) << name << " cut at " << length;
        }
        folder.write(name, whole);
    }
}

TEST_F(ConfigFaultTest, MissingFileFolderInItsPlaceOrBareRoot)
{
    for (const auto &[name, imagePath] : FILES) {
        const std::string path = folder.path + "/" + name;
        for (const std::string replacement : {"missing", "folder", "<root/>"}) {
            std::filesystem::remove(path);
            if (replacement == "folder")
                mkdir(path.c_str(), 0755);
            else if (replacement[0] == '<')
                folder.write(name, replacement);
            const std::vector<std::string> before = folderEntries(folder.path);
            for (const StoreCall &call : CALLS)
                EXPECT_TRUE(call.file != std::string(name) || call.run(stores) == -1)
                    << call.name << " on " << replacement;
            EXPECT_EQ(before, folderEntries(folder.path)) << name;
            EXPECT_TRUE(replacement != "folder" || std::filesystem::is_empty(path)) << name;
            EXPECT_TRUE(replacement[0] != '<' || untouched(path)) << name;
            std::filesystem::remove(path);
        }
        folder.write(name, readFile((IMAGE / imagePath).string()));
    }
}

// Files that cannot grow past 16 bytes (EFBIG, as ENOSPC on a full disk):
// every save fails part way.
TEST_F(ConfigFaultTest, FailedSaveLeavesTheFileWholeAndIsCounted)
{
    const FileSizeLimit full(16);
    for (const StoreCall &call : CALLS) {
        if (!call.writes)
            continue;
        const std::string path = folder.path + "/" + call.file, before = readFile(path);
        const int unsaved = unsavedStoreWrites();
        EXPECT_EQ(call.run(stores), -1) << call.name;
        EXPECT_EQ(readFile(path), before) << call.name;
        EXPECT_EQ(unsavedStoreWrites(), unsaved + 1) << call.name;
        EXPECT_EQ(entries, folderEntries(folder.path)) << call.name;
    }
}
