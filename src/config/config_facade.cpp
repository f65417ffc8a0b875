#include "config/config_facade.h"

#include <utility>

#include "config/paths.h"
#include "config/store_edit.h"

int ConfigFacade::getCommInfo(CommInfo &info) { return WebConfigStore::getInstance()->getCommInfo(info); }

int ConfigFacade::getIpInfo(IpInfo &info) { return WebConfigStore::getInstance()->getIpInfo(info); }

int ConfigFacade::setIpInfo(const IpInfo &info) { return WebConfigStore::getInstance()->setIpInfo(info); }

int ConfigFacade::getAdminPassword(std::string &password)
{
    return WebConfigStore::getInstance()->getAdminPassword(password);
}

int ConfigFacade::setAdminPassword(const std::string &password)
{
    return WebConfigStore::getInstance()->setAdminPassword(password);
}

int ConfigFacade::getUserPassword(std::string &password)
{
    return WebConfigStore::getInstance()->getUserPassword(password);
}

int ConfigFacade::setUserPassword(const std::string &password)
{
    return WebConfigStore::getInstance()->setUserPassword(password);
}

int ConfigFacade::getAccountPassword(const std::string &account, std::string &password)
{
    return WebConfigStore::getInstance()->getAccountPassword(account, password);
}

int ConfigFacade::getVlanPorts(std::vector<VlanPortRecord> &ports)
{
    return WebConfigStore::getInstance()->getVlanPorts(ports);
}

int ConfigFacade::setVlanPort(const VlanPortRecord &port) { return WebConfigStore::getInstance()->setVlanPort(port); }

int ConfigFacade::getFecInfo(FecInfo &info) { return WebConfigStore::getInstance()->getFecInfo(info); }

int ConfigFacade::setFecMode(const std::string &fecMode) { return WebConfigStore::getInstance()->setFecMode(fecMode); }

int ConfigFacade::getAuthMode(std::string &authMode) { return WebConfigStore::getInstance()->getAuthMode(authMode); }

int ConfigFacade::setAuthMode(const std::string &authMode)
{
    return WebConfigStore::getInstance()->setAuthMode(authMode);
}

int ConfigFacade::getOnuSn(std::string &sn) { return WebConfigStore::getInstance()->getOnuSn(sn); }

int ConfigFacade::setOnuSn(const std::string &sn) { return WebConfigStore::getInstance()->setOnuSn(sn); }

int ConfigFacade::getLoid(LoidInfo &info) { return WebConfigStore::getInstance()->getLoid(info); }

int ConfigFacade::setLoid(const LoidInfo &info) { return WebConfigStore::getInstance()->setLoid(info); }

int ConfigFacade::getSwitchPorts(std::vector<SwitchPortRecord> &ports)
{
    return WebConfigStore::getInstance()->getSwitchPorts(ports);
}

int ConfigFacade::setSwitchPort(const SwitchPortRecord &port)
{
    return WebConfigStore::getInstance()->setSwitchPort(port);
}

int ConfigFacade::getMacAgingTime(const std::string &port, std::string &time)
{
    return WebConfigStore::getInstance()->getMacAgingTime(port, time);
}

int ConfigFacade::setMacAgingTime(const std::string &port, const std::string &time)
{
    return WebConfigStore::getInstance()->setMacAgingTime(port, time);
}

int ConfigFacade::getStorm(std::string &mode, std::string &threshold)
{
    return WebConfigStore::getInstance()->getStorm(mode, threshold);
}

int ConfigFacade::setStorm(const std::string &mode, const std::string &threshold)
{
    return WebConfigStore::getInstance()->setStorm(mode, threshold);
}

int ConfigFacade::getPonSerialNum(std::string &serialNum)
{
    return PonConfigStore::getInstance()->getPonSerialNum(serialNum);
}

int ConfigFacade::setPonSerialNum(const std::string &serialNum)
{
    return PonConfigStore::getInstance()->setPonSerialNum(serialNum);
}

int ConfigFacade::getPonPasswd(std::string &passwd) { return PonConfigStore::getInstance()->getPonPasswd(passwd); }

int ConfigFacade::setPonPasswd(const std::string &passwd)
{
    return PonConfigStore::getInstance()->setPonPasswd(passwd);
}

int ConfigFacade::getPonSerialSrc(std::string &serialSrc)
{
    return PonConfigStore::getInstance()->getPonSerialSrc(serialSrc);
}

int ConfigFacade::setPonSerialSrc(const std::string &serialSrc)
{
    return PonConfigStore::getInstance()->setPonSerialSrc(serialSrc);
}

int ConfigFacade::getVendorInfo(OnuVendorInfo &info) { return OnuProfileStore::getInstance()->getVendorInfo(info); }

int ConfigFacade::getDefaultVendorInfo(OnuVendorInfo &info)
{
    return OnuProfileStore::getInstance()->getDefaultVendorInfo(info);
}

int ConfigFacade::setVendorInfo(const OnuVendorInfo &info)
{
    return OnuProfileStore::getInstance()->setVendorInfo(info);
}

int ConfigFacade::getChipInfo(ChipInfo &info) { return OnuProfileStore::getInstance()->getChipInfo(info); }

int ConfigFacade::getCapability(OnuCapability &capability)
{
    return OnuProfileStore::getInstance()->getCapability(capability);
}

int ConfigFacade::getFirmwareVersion(std::string &version)
{
    return OnuProfileStore::getInstance()->getFirmwareVersion(version);
}

int ConfigFacade::getMulticastSwitch(std::string &value)
{
    return OnuProfileStore::getInstance()->getMulticastSwitch(value);
}

int ConfigFacade::setMulticastSwitch(std::string value)
{
    return OnuProfileStore::getInstance()->setMulticastSwitch(std::move(value));
}

int ConfigFacade::getMulticastGroupNum(std::string &groupNum)
{
    return OnuProfileStore::getInstance()->getMulticastGroupNum(groupNum);
}

int ConfigFacade::getLoopDetect(std::string portIndex, std::string &value)
{
    return OnuProfileStore::getInstance()->getLoopDetect(std::move(portIndex), value);
}

int ConfigFacade::setLoopDetect(std::string portIndex, const std::string &value)
{
    return OnuProfileStore::getInstance()->setLoopDetect(std::move(portIndex), value);
}

int ConfigFacade::getCtcLoidAuth(LoidInfo &info) { return OmciMibStore::getInstance()->getCtcLoidAuth(info); }

int ConfigFacade::setCtcLoidAuth(const LoidInfo &info) { return OmciMibStore::getInstance()->setCtcLoidAuth(info); }

int ConfigFacade::getPortIsolation(std::string &enabled)
{
    return OmciMibStore::getInstance()->getPortIsolation(enabled);
}

int ConfigFacade::setPortIsolation(const std::string &enabled)
{
    return OmciMibStore::getInstance()->setPortIsolation(enabled);
}

int ConfigFacade::getMtu(MtuInfo &info) { return TpmConfigStore::getInstance()->getMtu(info); }

int ConfigFacade::setMtu(const MtuInfo &info) { return TpmConfigStore::getInstance()->setMtu(info); }

int ConfigFacade::getSchedMethod(std::string &method) { return TpmConfigStore::getInstance()->getSchedMethod(method); }

int ConfigFacade::setSchedMethod(const std::string &method)
{
    return TpmConfigStore::getInstance()->setSchedMethod(method);
}

int ConfigFacade::setFlowControl(std::string enabled)
{
    return TpmConfigStore::getInstance()->setFlowControl(std::move(enabled));
}

int ConfigFacade::getQueueWeights(QueueValues &weights)
{
    return TpmConfigStore::getInstance()->getQueueWeights(weights);
}

int ConfigFacade::setQueueWeight(const std::string &queueIndex, const std::string &weight)
{
    return TpmConfigStore::getInstance()->setQueueWeight(queueIndex, weight);
}

int ConfigFacade::getTxQueueSizes(QueueValues &sizes) { return TpmConfigStore::getInstance()->getTxQueueSizes(sizes); }

int ConfigFacade::setTxQueueSize(const std::string &queueIndex, const std::string &size)
{
    return TpmConfigStore::getInstance()->setTxQueueSize(queueIndex, size);
}

int ConfigFacade::getGmacQueueSizes(QueueValues &sizes)
{
    return TpmConfigStore::getInstance()->getGmacQueueSizes(sizes);
}

int ConfigFacade::setGmacQueueSize(const std::string &queueIndex, const std::string &size)
{
    return TpmConfigStore::getInstance()->setGmacQueueSize(queueIndex, size);
}

int ConfigFacade::unsavedWrites() { return unsavedStoreWrites(); }

int ConfigFacade::getEponInfo(EponInfo &info) { return EponInfoReader::getInstance()->readEponInfo(info); }

int ConfigFacade::getEponCounters(EponCounters &counters)
{
    return EponInfoReader::getInstance()->readAllCounters(counters);
}

int ConfigFacade::getOpticalDiagnostics(OpticalDiagnostics &diagnostics)
{
    I2cAcess transceiver(I2C_BUS_PATH);
    return transceiver.readDiagnostics(diagnostics);
}
