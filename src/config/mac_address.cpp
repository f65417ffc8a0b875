#include "config/mac_address.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

static const uint64_t MAC_MASK = 0xFFFFFFFFFFFFULL;
// "XX:XX:XX:XX:XX:XX": every third character a colon.
static const size_t MAC_TEXT_LENGTH = 17;

bool isMacAddress(const std::string &text)
{
    if (text.size() != MAC_TEXT_LENGTH)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool separator = i % 3 == 2;
        if (separator ? text[i] != ':' : !std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

void nextMacAddress(std::string &mac)
{
    unsigned int bytes[6] = {0, 0, 0, 0, 0, 0};
    std::sscanf(mac.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x", &bytes[0], &bytes[1], &bytes[2], &bytes[3], &bytes[4],
                &bytes[5]);
    uint64_t address = 0;
    for (unsigned int byte : bytes)
        address = (address << 8) | (byte & 0xFF);
    address = (address + 1) & MAC_MASK;
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", static_cast<unsigned int>(address >> 40) & 0xFF,
                  static_cast<unsigned int>(address >> 32) & 0xFF, static_cast<unsigned int>(address >> 24) & 0xFF,
                  static_cast<unsigned int>(address >> 16) & 0xFF, static_cast<unsigned int>(address >> 8) & 0xFF,
                  static_cast<unsigned int>(address) & 0xFF);
    mac = text;
}

std::string macDigits(const std::string &mac)
{
    std::string digits = mac;
    if (mac.size() < 15) {
        digits.erase(std::remove(digits.begin(), digits.end(), ':'), digits.end());
        return digits;
    }
    // Each position counts after the earlier deletions: 2, 5, 8, 11, 14.
    for (size_t position : {2, 4, 6, 8, 10})
        digits.erase(position, 1);
    return digits;
}
