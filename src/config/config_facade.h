// The one object through which command processors reach every setting and
// device reading. Stateless: each operation forwards to one store or reader
// and returns its result (0 success, -1 failure) unchanged.
#ifndef ONU_CONFIG_CONFIG_FACADE_H
#define ONU_CONFIG_CONFIG_FACADE_H

#include <string>
#include <vector>

#include "config/omci_mib_store.h"
#include "config/onu_profile_store.h"
#include "config/pon_config_store.h"
#include "config/tpm_config_store.h"
#include "config/web_config_store.h"
#include "device/epon_info_reader.h"
#include "device/i2c_acess.h"

class ConfigFacade {
public:
    // Web configuration.
    int getCommInfo(CommInfo &info);
    int getIpInfo(IpInfo &info);
    int setIpInfo(const IpInfo &info);
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
    int getSwitchPorts(std::vector<SwitchPortRecord> &ports);
    int setSwitchPort(const SwitchPortRecord &port);
    int getMacAgingTime(const std::string &port, std::string &time);
    int setMacAgingTime(const std::string &port, const std::string &time);
    int getStorm(std::string &mode, std::string &threshold);
    int setStorm(const std::string &mode, const std::string &threshold);

    // GPON credentials.
    int getPonSerialNum(std::string &serialNum);
    int setPonSerialNum(const std::string &serialNum);
    int getPonPasswd(std::string &passwd);
    int setPonPasswd(const std::string &passwd);
    int getPonSerialSrc(std::string &serialSrc);
    int setPonSerialSrc(const std::string &serialSrc);

    // ONU profile and EOAM settings.
    int getVendorInfo(OnuVendorInfo &info);
    int getDefaultVendorInfo(OnuVendorInfo &info);
    int setVendorInfo(const OnuVendorInfo &info);
    int getChipInfo(ChipInfo &info);
    int getCapability(OnuCapability &capability);
    int getFirmwareVersion(std::string &version);
    int getMulticastSwitch(std::string &value);
    int setMulticastSwitch(std::string value);
    int getMulticastGroupNum(std::string &groupNum);
    int getLoopDetect(std::string portIndex, std::string &value);
    int setLoopDetect(std::string portIndex, const std::string &value);

    // OMCI settings.
    int getCtcLoidAuth(LoidInfo &info);
    int setCtcLoidAuth(const LoidInfo &info);
    int getPortIsolation(std::string &enabled);
    int setPortIsolation(const std::string &enabled);

    // Traffic processor.
    int getMtu(MtuInfo &info);
    int setMtu(const MtuInfo &info);
    int getSchedMethod(std::string &method);
    int setSchedMethod(const std::string &method);
    int setFlowControl(std::string enabled);
    int getQueueWeights(QueueValues &weights);
    int setQueueWeight(const std::string &queueIndex, const std::string &weight);
    int getTxQueueSizes(QueueValues &sizes);
    int setTxQueueSize(const std::string &queueIndex, const std::string &size);
    int getGmacQueueSizes(QueueValues &sizes);
    int setGmacQueueSize(const std::string &queueIndex, const std::string &size);

    // Store writes of this process that could not be stored (their file's
    // lock or save failed), for callers that do not consult a write's result.
    int unsavedWrites();

    // Device readings.
    int getEponInfo(EponInfo &info);
    int getEponCounters(EponCounters &counters);
    // Opens the transceiver bus for this call only.
    int getOpticalDiagnostics(OpticalDiagnostics &diagnostics);
};

#endif
