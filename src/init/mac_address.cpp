#include "init/mac_address.h"

#include <cstdint>
#include <cstdio>

static const uint64_t MAC_MASK = 0xFFFFFFFFFFFFULL;

void nextMacAddress(std::string &mac)
{
    unsigned int bytes[6] = {0, 0, 0, 0, 0, 0};
    std::sscanf(mac.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x", &bytes[0], &bytes[1], &bytes[2], &bytes[3],
                &bytes[4], &bytes[5]);
    uint64_t address = 0;
    for (unsigned int byte : bytes) {
        address = (address << 8) | (byte & 0xFF);
    }
    address = (address + 1) & MAC_MASK;
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X",
                  static_cast<unsigned int>(address >> 40) & 0xFF,
                  static_cast<unsigned int>(address >> 32) & 0xFF,
                  static_cast<unsigned int>(address >> 24) & 0xFF,
                  static_cast<unsigned int>(address >> 16) & 0xFF,
                  static_cast<unsigned int>(address >> 8) & 0xFF,
                  static_cast<unsigned int>(address) & 0xFF);
    mac = text;
}

int serialFromMac(const std::string &mac, std::string &sn)
{
    // Each removal shortens the text, so the next colon sits two places on.
    // A position at the very end removes nothing; one beyond it is refused.
    std::string digits = mac;
    for (size_t position = 2; position <= 10; position += 2) {
        if (position > digits.size()) {
            return -1;
        }
        digits.erase(position, 1);
    }
    sn = digits;
    return 0;
}
