// Console routines over the ONU profile store.
#include <string>

#include "diag/diag_routines.h"
#include "log/console_line.h"

namespace {

const char CHIP_INFO_ERROR[] = "get onu chip info error ";
const char *const USER_PORTS[] = {"0", "1", "2", "3"};

}  // namespace

int showProfileVersions()
{
    OnuProfileStore &store = *OnuProfileStore::getInstance();
    OnuVendorInfo vendor;
    if (store.getVendorInfo(vendor) == -1) {
        printLine("get onu serial error ");
        return -1;
    }
    printLine("hardware version: ", vendor.hardwareVersion);
    printLine("software version: ", vendor.softwareVersion);
    printLine("vendor: ", vendor.vendor);
    printLine("model: ", vendor.model);
    return 0;
}

int showChipInfo()
{
    OnuProfileStore &store = *OnuProfileStore::getInstance();
    ChipInfo chip;
    if (store.getChipInfo(chip) == -1) {
        printLine(CHIP_INFO_ERROR);
        return -1;
    }
    printLine("chip Id: ", chip.chipId);
    printLine("chip model: ", chip.chipModel);
    printLine("chip revision: ", chip.chipRevision);
    printLine("chip icdata: ", chip.chipIcData);
    return 0;
}

int showCapability()
{
    OnuProfileStore &store = *OnuProfileStore::getInstance();
    OnuCapability capability;
    if (store.getCapability(capability) == -1) {
        printLine(CHIP_INFO_ERROR);
        return -1;
    }
    printLine("ge number:  ", capability.geNumber);
    printLine("ge bitmap:  ", capability.geBitmap);
    printLine("fe nubmer:  ", capability.feNumber);
    printLine("fe bitmap Lsb: ", capability.feBitmapLsb);
    printLine("fe bitmap msb: ", capability.feBitmapMsb);
    printLine("dsq Number: ", capability.dsqNumber);
    printLine("max dsq Number: ", capability.maxDsqNumber);
    printLine("usq Number: ", capability.usqNumber);
    printLine("max usq Number: ", capability.maxUsqNumber);
    printLine("battery backup: ", capability.batteryBackup);
    printLine("onu type: ", capability.onuType);
    return 0;
}

int setMulticastOff()
{
    OnuProfileStore &store = *OnuProfileStore::getInstance();
    if (store.setMulticastSwitch("0") == -1) {
        printLine("set multicast type error ");
        return -1;
    }
    return 0;
}

int showMulticastMode()
{
    OnuProfileStore &store = *OnuProfileStore::getInstance();
    std::string mode;
    if (store.getMulticastSwitch(mode) == -1) {
        printLine("get multicast type error ");
        return -1;
    }
    printLine("get multicast type =  ", mode);
    return 0;
}

int showLoopDetect()
{
    OnuProfileStore &store = *OnuProfileStore::getInstance();
    int result = 0;
    for (const char *port : USER_PORTS) {
        std::string detect;
        if (store.getLoopDetect(port, detect) == -1)
            result = -1;
        printLine("port = " + std::string(port) + " detect = ", detect);
    }
    return result;
}

int setLoopDetectOn()
{
    OnuProfileStore &store = *OnuProfileStore::getInstance();
    const std::string detect = "1";
    int result = 0;
    for (const char *port : USER_PORTS) {
        if (store.setLoopDetect(port, detect) == -1)
            result = -1;
        printLine("port = " + std::string(port) + " detect = ", detect);
    }
    return result;
}
