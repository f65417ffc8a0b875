// Console routines over the traffic-processor and web configuration stores.
#include "diag/diag_routines.h"
#include "log/console_line.h"

namespace {

const char COMM_INFO_ERROR[] = "get vesk comm info error ";

}  // namespace

int showMtu()
{
    TpmConfigStore &store = *TpmConfigStore::getInstance();
    MtuInfo mtu;
    if (store.getMtu(mtu) == -1) {
        printLine("get mtu settings error ");
        return -1;
    }
    printLine("mtuInfo.mtuSettingEnable = ", mtu.mtuSettingEnable);
    printLine("mtuInfo.ipv4DsMtu = ", mtu.ipv4DsMtu);
    printLine("mtuInfo.ipv4UsMtu = ", mtu.ipv4UsMtu);
    printLine("mtuInfo.ipv4pppoeUsMtu = ", mtu.ipv4pppoeUsMtu);
    return 0;
}

int setMtuSample()
{
    TpmConfigStore &store = *TpmConfigStore::getInstance();
    if (store.setMtu({"1", "2000", "1999", "888"}) == -1) {
        printLine("set mtu settings error ");
        return -1;
    }
    return 0;
}

int showWebVersions()
{
    WebConfigStore &store = *WebConfigStore::getInstance();
    CommInfo info;
    if (store.getCommInfo(info) == -1) {
        printLine(COMM_INFO_ERROR);
        return -1;
    }
    printLine("info.softwareVersion = ", info.softwareVersion);
    printLine("info.model = ", info.model);
    printLine("info.vendor = ", info.vendor);
    return 0;
}

int showIpInfo()
{
    WebConfigStore &store = *WebConfigStore::getInstance();
    IpInfo info;
    if (store.getIpInfo(info) == -1) {
        printLine(COMM_INFO_ERROR);
        return -1;
    }
    printLine("info.ipAddress = ", info.ipAddress);
    printLine("info.netMask = ", info.netMask);
    return 0;
}

int setIpSample()
{
    WebConfigStore &store = *WebConfigStore::getInstance();
    IpInfo info;
    info.ipAddress = "192.0.0.0";
    info.netMask = "255.255.255.255";
    if (store.setIpInfo(info) == -1) {
        printLine("set ip address error ");
        return -1;
    }
    return 0;
}
