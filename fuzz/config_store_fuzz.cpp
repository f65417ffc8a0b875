// Arbitrary bytes as a configuration file, fed to a read and a write of the
// store that owns that kind of file, through the locked edit every store write
// takes. The first byte picks the store and its two operations, the rest is
// the file. The write runs twice: once while the file system refuses a file
// larger than half the input (a save fails part way unless the document came
// out shorter), once as usual. A write that fails leaves the file byte for
// byte as it was; a write that succeeds either found nothing to change (the
// file as it was) or saved what parsed as a document that parses whole. Only a
// failed write counts as unsaved, and a write that changes the file given room
// does not succeed without changing it on the full disk.
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "config/omci_mib_store.h"
#include "config/onu_profile_store.h"
#include "config/pon_config_store.h"
#include "config/store_edit.h"
#include "config/tpm_config_store.h"
#include "config/web_config_store.h"
#include "fuzz_support.h"
#include "xml/xml.h"

namespace {

// Written into the files: every character that needs escaping somewhere.
const std::string VALUE = "v<&>\"'\t\r\n]]>&#x41;";

std::string folder;

std::string pathOf(const char *name) { return folder + "/" + name; }

std::string contentOf(const std::string &path)
{
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

void store(const std::string &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

bool parsesWhole(const std::string &path)
{
    XmlNode *doc = xmlParseFile(path.c_str());
    bool whole = doc && !*xmlError(doc);
    xmlFree(doc);
    return whole;
}

struct StoreGroup {
    const char *file;
    std::vector<std::function<int()>> reads;
    std::vector<std::function<int()>> writes;
};

std::vector<StoreGroup> groups;

void buildGroups()
{
    static WebConfigStore web(pathOf("web.xml"));
    static PonConfigStore pon(pathOf("gpon.xml"));
    static OnuProfileStore profile(pathOf("eoam.xml"), pathOf("profile.xml"), pathOf("profile.xml"));
    static OmciMibStore omci(pathOf("omci.xml"));
    static TpmConfigStore tpm(pathOf("tpm.xml"));
    static std::string text;
    static CommInfo comm;
    static IpInfo ip;
    static FecInfo fec;
    static LoidInfo loid;
    static std::vector<VlanPortRecord> vlanPorts;
    static std::vector<SwitchPortRecord> switchPorts;
    static OnuVendorInfo vendor;
    static ChipInfo chip;
    static OnuCapability capability;
    static MtuInfo mtu;
    static QueueValues queues;

    groups = {
        {"web.xml",
         {[] { return web.getCommInfo(comm); }, [] { return web.getIpInfo(ip); },
          [] { return web.getAdminPassword(text); }, [] { return web.getUserPassword(text); },
          [] { return web.getAccountPassword("admin", text); }, [] { return web.getVlanPorts(vlanPorts); },
          [] { return web.getFecInfo(fec); }, [] { return web.getAuthMode(text); }, [] { return web.getOnuSn(text); },
          [] { return web.getLoid(loid); },
          [] {
              switchPorts.clear();
              return web.getSwitchPorts(switchPorts);
          },
          [] { return web.getMacAgingTime("0", text); }, [] { return web.getStorm(text, text); }},
         {[] {
              return web.setIpInfo({VALUE, VALUE, ""});
          },
          [] { return web.setOnuMac(VALUE); }, [] { return web.setAdminPassword(VALUE); },
          [] { return web.setUserPassword(VALUE); },
          [] {
              return web.setVlanPort({"0", VALUE, VALUE, VALUE, VALUE});
          },
          [] { return web.setFecMode(VALUE); }, [] { return web.setAuthMode(VALUE); },
          [] { return web.setOnuSn(VALUE); },
          [] {
              return web.setLoid({VALUE, VALUE});
          },
          [] {
              return web.setSwitchPort({"0", VALUE, VALUE, VALUE, VALUE, VALUE});
          },
          [] { return web.setMacAgingTime("0", VALUE); }, [] { return web.setStorm(VALUE, VALUE); }}},
        {"gpon.xml",
         {[] { return pon.getPonSerialNum(text); }, [] { return pon.getPonPasswd(text); },
          [] { return pon.getPonSerialSrc(text); }},
         {[] { return pon.setPonSerialNum(VALUE); }, [] { return pon.setPonPasswd(VALUE); },
          [] { return pon.setPonSerialSrc(VALUE); }}},
        {"profile.xml",
         {[] { return profile.getVendorInfo(vendor); }, [] { return profile.getDefaultVendorInfo(vendor); },
          [] { return profile.getChipInfo(chip); }, [] { return profile.getCapability(capability); },
          [] { return profile.getFirmwareVersion(text); }},
         {[] {
             return profile.setVendorInfo({VALUE, VALUE, VALUE, VALUE});
         }}},
        {"eoam.xml",
         {[] { return profile.getMulticastSwitch(text); }, [] { return profile.getMulticastGroupNum(text); },
          [] { return profile.getLoopDetect("1", text); }},
         {[] { return profile.setMulticastSwitch(VALUE); }, [] { return profile.setLoopDetect("1", VALUE); }}},
        {"omci.xml",
         {[] { return omci.getCtcLoidAuth(loid); }, [] { return omci.getPortIsolation(text); }},
         {[] {
              return omci.setCtcLoidAuth({VALUE, VALUE});
          },
          [] { return omci.setPortIsolation(VALUE); }}},
        {"tpm.xml",
         {[] { return tpm.getMtu(mtu); }, [] { return tpm.getSchedMethod(text); },
          [] { return tpm.getQueueWeights(queues); }, [] { return tpm.getTxQueueSizes(queues); },
          [] { return tpm.getGmacQueueSizes(queues); }},
         {[] {
              return tpm.setMtu({VALUE, VALUE, VALUE, VALUE});
          },
          [] { return tpm.setSchedMethod(VALUE); }, [] { return tpm.setFlowControl(VALUE); },
          [] { return tpm.setQueueWeight("1", VALUE); }, [] { return tpm.setTxQueueSize("1", VALUE); },
          [] { return tpm.setGmacQueueSize("1", VALUE); }}},
    };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    folder = scratchFolder();
    buildGroups();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const StoreGroup &group = groups[data[0] % groups.size()];
    const size_t operation = data[0] / groups.size();
    const std::string path = pathOf(group.file);
    const std::string file(reinterpret_cast<const char *>(data) + 1, size - 1);

    const std::function<int()> &write = group.writes[operation % group.writes.size()];

    store(path, file);
    group.reads[operation % group.reads.size()]();
    bool acknowledgedUnchanged = false;  // on the full disk
    for (const bool diskFull : {true, false}) {
        const int unsaved = unsavedStoreWrites();
        rlimit unlimited;
        getrlimit(RLIMIT_FSIZE, &unlimited);
        // A write past the limit fails (EFBIG) instead of raising the signal,
        // whose handler the fuzzer's driver sets.
        void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
        if (diskFull) {
            const rlimit halfInput = {file.size() / 2, unlimited.rlim_max};
            setrlimit(RLIMIT_FSIZE, &halfInput);
        }
        const bool written = write() == 0;
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, handler);
        const bool unchanged = contentOf(path) == file;
        if (written ? !unchanged && !parsesWhole(path) : !unchanged)
            std::abort();
        if (written && unsavedStoreWrites() != unsaved)
            std::abort();
        // What changes the file given room was not acknowledged without room.
        if (!diskFull && acknowledgedUnchanged && !unchanged)
            std::abort();
        acknowledgedUnchanged = written && unchanged;
        store(path, file);
    }
    return 0;
}
