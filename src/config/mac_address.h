// MAC address texts: the form the unit accepts, the next address and the
// serial number derived from one.
#ifndef ONU_INIT_MAC_ADDRESS_H
#define ONU_INIT_MAC_ADDRESS_H

#include <string>

// True for exactly six colon-separated pairs of hexadecimal digits
// ("00:11:22:33:44:55", either letter case): the only MAC text that may reach
// a shell command.
bool isMacAddress(const std::string &text);

// Replaces `mac` by the address one higher, as "XX:XX:XX:XX:XX:XX" in upper
// case. Up to six hexadecimal fields are read; fields not read count as 0 and
// the 48-bit number wraps from all ones to zero.
void nextMacAddress(std::string &mac);

// The serial number of the unit with MAC `mac` (isMacAddress): its twelve
// hexadecimal digits without the colons, letter case kept.
std::string serialFromMac(const std::string &mac);

#endif
