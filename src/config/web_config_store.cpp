#include "config/web_config_store.h"

#include <utility>

#include "config/paths.h"
#include "config/store_access.h"
#include "config/store_edit.h"
#include "log/console_line.h"

// Addresses and masks shorter than this are refused unwritten.
static const size_t MIN_ADDRESS_LENGTH = 8;

// The first element of a sequence whose text equals `text`, or none.
static XmlNode *findByText(XmlNode *first, const std::string &text)
{
    for (XmlNode *element = first; element; element = element->next)
        if (text == element->txt)
            return element;
    return nullptr;
}

WebConfigStore *WebConfigStore::getInstance()
{
    static WebConfigStore *instance = new WebConfigStore(WEB_XML_PATH);
    return instance;
}

WebConfigStore::WebConfigStore(std::string path) : path(std::move(path)) {}

int WebConfigStore::getCommInfo(CommInfo &info)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *commInfo = xmlChild(doc.get(), "commInfo");
    if (!commInfo)
        return -1;
    copyText(xmlChild(commInfo, "vendor"), info.vendor);
    copyText(xmlChild(commInfo, "model"), info.model);
    copyText(xmlChild(commInfo, "softwareVersion"), info.softwareVersion);
    copyText(xmlChild(commInfo, "onu_id"), info.onuId);
    return 0;
}

int WebConfigStore::getIpInfo(IpInfo &info)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *ipInfo = xmlChild(doc.get(), "ipInfo");
    if (!ipInfo)
        return -1;
    copyText(xmlChild(ipInfo, "ipAddress"), info.ipAddress);
    copyText(xmlChild(ipInfo, "netMask"), info.netMask);
    copyText(xmlChild(ipInfo, "onu_mac"), info.onuMac);
    return 0;
}

int WebConfigStore::setIpInfo(const IpInfo &info)
{
    if (info.ipAddress.size() < MIN_ADDRESS_LENGTH || info.netMask.size() < MIN_ADDRESS_LENGTH)
        return -1;
    return editDocument(path, [&](XmlNode *root) {
        XmlNode *ipInfo = xmlChild(root, "ipInfo");
        Edit edit = allOf({setText(xmlChild(ipInfo, "ipAddress"), info.ipAddress),
                           setText(xmlChild(ipInfo, "netMask"), info.netMask)});
        if (ipInfo && edit == Edit::NOT_FOUND)
            printLine("set ip address type  error");
        return edit;
    });
}

int WebConfigStore::setOnuMac(const std::string &mac)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *ipInfo = xmlChild(root, "ipInfo");
            Edit edit = alwaysSaved(setText(xmlChild(ipInfo, "onu_mac"), mac));
            if (ipInfo && edit == Edit::NOT_FOUND)
                printLine(SET_MAC_FAIL_MESSAGE);
            return edit;
        });
}

int WebConfigStore::getAdminPassword(std::string &password)
{
    return readOptionalLeafText(path, "account", "admin", password);
}

int WebConfigStore::setAdminPassword(const std::string &password)
{
    return writeLeafText(path, "account", "admin", password);
}

int WebConfigStore::getUserPassword(std::string &password)
{
    return readOptionalLeafText(path, "account", "user", password);
}

int WebConfigStore::setUserPassword(const std::string &password)
{
    return writeLeafText(path, "account", "user", password);
}

int WebConfigStore::getAccountPassword(const std::string &account, std::string &password)
{
    return readLeafText(path, "account", account.c_str(), password);
}

int WebConfigStore::getVlanPorts(std::vector<VlanPortRecord> &ports)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *first = xmlChild(xmlChild(doc.get(), "vlan"), "port");
    if (!first)
        return -1;
    ports.clear();
    // A port lacking an attribute repeats the value of the port before it.
    VlanPortRecord record;
    for (XmlNode *port = first; port; port = port->next) {
        record.port = port->txt;
        copyAttr(port, "mode", record.mode);
        copyAttr(port, "default_vid", record.defaultVid);
        copyAttr(port, "vid_sum", record.vidSum);
        copyAttr(port, "vid_serial", record.vidSerial);
        ports.push_back(record);
    }
    return 0;
}

int WebConfigStore::setVlanPort(const VlanPortRecord &record)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *first = xmlChild(xmlChild(root, "vlan"), "port");
            XmlNode *port = findByText(first, record.port);
            if (!port) {
                // An unknown port is no failure, only nothing to write.
                return first ? Edit::UNCHANGED : Edit::NOT_FOUND;
            }
            // An empty default VID keeps the stored one.
            return alwaysSaved(
                allOf({setAttr(port, "mode", record.mode),
                       record.defaultVid.empty() ? Edit::UNCHANGED : setAttr(port, "default_vid", record.defaultVid),
                       setAttr(port, "vid_sum", record.vidSum), setAttr(port, "vid_serial", record.vidSerial)}));
        });
}

int WebConfigStore::getFecInfo(FecInfo &info)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *onu = xmlChild(doc.get(), "onu");
    XmlNode *fecMode = xmlChild(onu, "fec_mode");
    if (!fecMode)
        return -1;
    info.fecMode = fecMode->txt;
    XmlNode *fecAbility = xmlChild(onu, "fec_ability");
    if (!fecAbility)
        return -1;
    info.fecAbility = fecAbility->txt;
    return 0;
}

int WebConfigStore::setFecMode(const std::string &fecMode) { return writeLeafText(path, "onu", "fec_mode", fecMode); }

int WebConfigStore::getAuthMode(std::string &authMode) { return readLeafText(path, "onu", "auth_mode", authMode); }

int WebConfigStore::setAuthMode(const std::string &authMode)
{
    return writeLeafText(path, "onu", "auth_mode", authMode);
}

int WebConfigStore::getOnuSn(std::string &sn) { return readLeafText(path, "onu", "sn", sn); }

int WebConfigStore::setOnuSn(const std::string &sn) { return writeLeafText(path, "onu", "sn", sn); }

int WebConfigStore::getLoid(LoidInfo &info)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *loid = xmlChild(xmlChild(doc.get(), "onu"), "loid");
    if (!loid)
        return -1;
    info.loid = loid->txt;
    copyAttr(loid, "password", info.password);
    return 0;
}

int WebConfigStore::setLoid(const LoidInfo &info)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *loid = xmlChild(xmlChild(root, "onu"), "loid");
            return alwaysSaved(allOf({setText(loid, info.loid), setAttr(loid, "password", info.password)}));
        });
}

int WebConfigStore::getSwitchPorts(std::vector<SwitchPortRecord> &ports)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *first = xmlChild(xmlChild(doc.get(), "switch"), "port");
    if (!first)
        return -1;
    for (XmlNode *port = first; port; port = port->next) {
        SwitchPortRecord record;
        record.port = port->txt;
        copyAttr(port, "phy_admin", record.phyAdmin);
        copyAttr(port, "flow_control", record.flowControl);
        copyAttr(port, "auto_neg", record.autoNeg);
        copyAttr(port, "mode", record.mode);
        copyAttr(port, "mode_max", record.modeMax);
        ports.push_back(record);
    }
    return 0;
}

int WebConfigStore::setSwitchPort(const SwitchPortRecord &record)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *port = findByText(xmlChild(xmlChild(root, "switch"), "port"), record.port);
            // mode_max is never written: it is the most the port supports.
            return alwaysSaved(
                allOf({setAttr(port, "phy_admin", record.phyAdmin), setAttr(port, "flow_control", record.flowControl),
                       setAttr(port, "auto_neg", record.autoNeg), setAttr(port, "mode", record.mode)}));
        });
}

int WebConfigStore::getMacAgingTime(const std::string &port, std::string &time)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *first = xmlChild(xmlChild(doc.get(), "mac_aging_time"), "eth_port");
    for (XmlNode *ethPort = first; ethPort; ethPort = ethPort->next) {
        const char *value = xmlAttr(ethPort, "time");
        if (port == ethPort->txt && value) {
            time = value;
            return 0;
        }
    }
    return -1;
}

int WebConfigStore::setMacAgingTime(const std::string &port, const std::string &time)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *first = xmlChild(xmlChild(root, "mac_aging_time"), "eth_port");
            return setAttr(findByText(first, port), "time", time);
        });
}

int WebConfigStore::getStorm(std::string &mode, std::string &threshold)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *port = xmlChild(xmlChild(doc.get(), "storm"), "port");
    if (!port)
        return -1;
    copyAttr(port, "mode", mode);
    copyAttr(port, "bs_thresh", threshold);
    return 0;
}

int WebConfigStore::setStorm(const std::string &mode, const std::string &threshold)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *port = xmlChild(xmlChild(root, "storm"), "port");
            // An empty threshold keeps the stored one.
            return alwaysSaved(allOf({setAttr(port, "mode", mode),
                                      threshold.empty() ? Edit::UNCHANGED : setAttr(port, "bs_thresh", threshold)}));
        });
}
