// The PON settings page (command 5).
#ifndef ONU_WEB_PON_SETTINGS_COMMANDS_H
#define ONU_WEB_PON_SETTINGS_COMMANDS_H

#include <string>

// The LOID as stored and sent to the PON stack: the first "ELO", in any
// letter case, becomes "ABC".
std::string maskLoid(const std::string &loid);

// The PON serial number shown when it is derived from the MAC: the first four
// characters of `serialNum` followed by the last four MAC bytes as eight hex
// digits. A MAC text too short for the colon form leaves `serialNum` as it is.
std::string ponSerialFromMac(const std::string &serialNum, const std::string &mac);

#endif
