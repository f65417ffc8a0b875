// MAC address texts: the next address and the serial number derived from one.
#ifndef ONU_INIT_MAC_ADDRESS_H
#define ONU_INIT_MAC_ADDRESS_H

#include <string>

// Replaces `mac` by the address one higher, as "XX:XX:XX:XX:XX:XX" in upper
// case. Up to six hexadecimal fields are read; fields not read count as 0 and
// the 48-bit number wraps from all ones to zero.
void nextMacAddress(std::string &mac);

// The serial number of the unit with MAC `mac`: the characters at positions
// 2, 5, 8, 11 and 14 (the colons of aa:bb:cc:dd:ee:ff) removed, letter case
// kept. Each removal counts positions in the already shortened text (2, 4, 6,
// 8, 10). 0, or -1 with `sn` unchanged when a position lies beyond the end of
// the text (`mac` shorter than 14 characters).
int serialFromMac(const std::string &mac, std::string &sn);

#endif
