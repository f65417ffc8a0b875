// Store of the unit's identity and capabilities (the ONU profile and its
// read-only factory default) and of two EPON OAM settings (the EOAM file).
// Results: 0 success, -1 failure; missing properties leave fields unchanged.
#ifndef ONU_CONFIG_ONU_PROFILE_STORE_H
#define ONU_CONFIG_ONU_PROFILE_STORE_H

#include <string>

struct OnuVendorInfo {
    std::string vendor;
    std::string model;
    std::string hardwareVersion;
    std::string softwareVersion;
};

struct ChipInfo {
    std::string chipId;
    std::string chipRevision;
    std::string chipIcData;
    std::string chipModel;
};

struct OnuCapability {
    std::string geNumber;
    std::string geBitmap;
    std::string feNumber;
    std::string feBitmapLsb;
    std::string feBitmapMsb;
    std::string potsNumber;
    std::string usqNumber;
    std::string maxUsqNumber;
    std::string dsqNumber;
    std::string maxDsqNumber;
    std::string batteryBackup;
    std::string onuType;
};

class OnuProfileStore {
public:
    static OnuProfileStore *getInstance();
    OnuProfileStore(std::string path, std::string profilePath, std::string defaultProfilePath);

    int getVendorInfo(OnuVendorInfo &info);
    int getDefaultVendorInfo(OnuVendorInfo &info);
    // Saves the live profile even when nothing changed.
    int setVendorInfo(const OnuVendorInfo &info);
    int getChipInfo(ChipInfo &info);
    int getCapability(OnuCapability &capability);
    // The firmware version in dotted form (0x010203 -> 01.02.03).
    int getFirmwareVersion(std::string &version);
    int getMulticastSwitch(std::string &value);
    int setMulticastSwitch(std::string value);
    int getMulticastGroupNum(std::string &groupNum);
    // `portIndex` is a decimal text, 0 for the first port.
    int getLoopDetect(std::string portIndex, std::string &value);
    int setLoopDetect(std::string portIndex, const std::string &value);

private:
    std::string path;                // EOAM configuration
    std::string profilePath;         // live ONU profile
    std::string defaultProfilePath;  // factory-default ONU profile
};

#endif
