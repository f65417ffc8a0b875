// The factory-default web configuration, from which the live one is refreshed
// when the unit is given a new MAC address.
#ifndef ONU_INIT_DEFAULT_WEB_CONFIG_H
#define ONU_INIT_DEFAULT_WEB_CONFIG_H

#include <string>

// Writes `mac` into the default file's ipInfo/onu_mac (always rewriting it),
// then copies the default file over the live one. -1 when the file, ipInfo or
// onu_mac is missing or the default file cannot be saved (neither file
// changes), or the live file's lock cannot be held (the live file stays).
int setDefaultConfigMac(const std::string &mac);

// Writes `sn` into the default file's onu/sn unless it is already there. The
// live file is not touched. -1 when the file, onu or sn is missing.
int setDefaultConfigSn(const std::string &sn);

#endif
