// MAC address texts: the form the unit accepts, the next address and the
// digits the unit's identifiers are made of.
#ifndef ONU_CONFIG_MAC_ADDRESS_H
#define ONU_CONFIG_MAC_ADDRESS_H

#include <string>

// True for exactly six colon-separated pairs of hexadecimal digits
// ("00:11:22:33:44:55", either letter case): the only MAC text that may reach
// a shell command.
bool isMacAddress(const std::string &text);

// Replaces `mac` by the address one higher, as "XX:XX:XX:XX:XX:XX" in upper
// case. Up to six hexadecimal fields are read; fields not read count as 0 and
// the 48-bit number wraps from all ones to zero.
void nextMacAddress(std::string &mac);

// The digits of a MAC in the colon form, letter case kept: the characters at
// 2, 5, 8, 11 and 14 (the colons) dropped. A text too short for that form
// loses whatever colons it has instead.
std::string macDigits(const std::string &mac);

#endif
