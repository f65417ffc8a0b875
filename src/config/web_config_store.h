// Store of the live web configuration file: identity strings, management
// address and MAC, web accounts, VLAN, PON identity, switch ports, MAC aging
// and storm control. Every operation parses the file anew; writes rewrite it.
// Results: 0 success, -1 failure; reads leave fields of missing items unchanged.
#ifndef ONU_CONFIG_WEB_CONFIG_STORE_H
#define ONU_CONFIG_WEB_CONFIG_STORE_H

#include <string>
#include <vector>

// Printed when the MAC address element cannot be written.
inline constexpr char SET_MAC_FAIL_MESSAGE[] = "set mac address   fail";

struct CommInfo {
    std::string vendor;
    std::string model;
    std::string softwareVersion;
    std::string onuId;
};

struct IpInfo {
    std::string ipAddress;
    std::string netMask;
    std::string onuMac;
};

struct FecInfo {
    std::string fecMode;
    std::string fecAbility;
};

struct LoidInfo {
    std::string loid;
    std::string password;
};

struct VlanPortRecord {
    std::string port;
    std::string mode;
    std::string defaultVid;
    std::string vidSum;
    std::string vidSerial;
};

struct SwitchPortRecord {
    std::string port;
    std::string phyAdmin;
    std::string flowControl;
    std::string autoNeg;
    std::string mode;
    std::string modeMax;
};

class WebConfigStore {
public:
    static WebConfigStore *getInstance();
    explicit WebConfigStore(std::string path);

    int getCommInfo(CommInfo &info);
    int getIpInfo(IpInfo &info);
    int setIpInfo(const IpInfo &info);
    int setOnuMac(const std::string &mac);
    int getAdminPassword(std::string &password);
    int setAdminPassword(const std::string &password);
    int getUserPassword(std::string &password);
    int setUserPassword(const std::string &password);
    int getAccountPassword(const std::string &account, std::string &password);
    int getVlanPorts(std::vector<VlanPortRecord> &ports);
    int setVlanPort(const VlanPortRecord &port);
    int getFecInfo(FecInfo &info);
    int setFecMode(const std::string &fecMode);
    int getAuthMode(std::string &authMode);
    int setAuthMode(const std::string &authMode);
    int getOnuSn(std::string &sn);
    int setOnuSn(const std::string &sn);
    int getLoid(LoidInfo &info);
    int setLoid(const LoidInfo &info);
    // Appends to `ports`; records already in the list stay.
    int getSwitchPorts(std::vector<SwitchPortRecord> &ports);
    int setSwitchPort(const SwitchPortRecord &port);
    int getMacAgingTime(const std::string &port, std::string &time);
    int setMacAgingTime(const std::string &port, const std::string &time);
    int getStorm(std::string &mode, std::string &threshold);
    int setStorm(const std::string &mode, const std::string &threshold);

private:
    std::string path;
};

#endif
