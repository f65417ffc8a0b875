// Feeds arbitrary bytes as fw_printenv's output to the
// boot-environment MAC scan. A value found is at most 17 characters of one
// line; when none is found the caller's text stays as it was. The value, as
// the initializer would take it, passes the MAC form only when it holds
// nothing but hexadecimal digits and colons, and then its next address and
// serial number are as plain.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/mac_address.h"
#include "init/boot_env.h"

static bool onlyHexDigitsAndColons(const std::string &text)
{
    return text.find_first_not_of("0123456789abcdefABCDEF:") == std::string::npos;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string before = "unchanged";
    std::string mac = before;
    if (findBootEnvMac(std::string(reinterpret_cast<const char *>(data), size), mac) == 0) {
        if (mac.size() > 17 || mac.find('\n') != std::string::npos)
            std::abort();
        if (isMacAddress(mac)) {
            std::string next = mac;
            nextMacAddress(next);
            const std::string sn = macDigits(mac);
            if (!onlyHexDigitsAndColons(mac) || !isMacAddress(next) || sn.size() != 12 || !onlyHexDigitsAndColons(sn) ||
                sn.find(':') != std::string::npos)
                std::abort();
        }
    } else if (mac != before) {
        std::abort();
    }
    return 0;
}
