// The ONU information page (command 2).
#ifndef ONU_WEB_ONU_INFO_COMMAND_H
#define ONU_WEB_ONU_INFO_COMMAND_H

#include <string>

// The ONU identifier shown on the page: the MAC text without its separators
// ("00:50:43:02:00:00" gives "005043020000").
std::string onuIdFromMac(const std::string &mac);

#endif
