// Feeds arbitrary bytes as fw_printenv's output (a temporary file) to the
// boot-environment MAC scan. A value found is at most 17 characters of one
// line; when none is found the caller's text stays as it was. The value, as
// the initializer would take it, passes the MAC form only when it holds
// nothing but hexadecimal digits and colons, and then its next address and
// serial number are as plain.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "init/boot_env.h"
#include "init/mac_address.h"

static std::string scratchFile;

static bool onlyHexDigitsAndColons(const std::string &text)
{
    return text.find_first_not_of("0123456789abcdefABCDEF:") == std::string::npos;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    scratchFile = scratchFolder() + "/mac.txt";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    writeInput(scratchFile, data, size);

    const std::string before = "unchanged";
    std::string mac = before;
    std::ifstream lines(scratchFile);
    if (findBootEnvMac(lines, mac) == 0) {
        if (mac.size() > 17 || mac.find('\n') != std::string::npos)
            std::abort();
        if (isMacAddress(mac)) {
            std::string next = mac;
            nextMacAddress(next);
            const std::string sn = serialFromMac(mac);
            if (!onlyHexDigitsAndColons(mac) || !isMacAddress(next) || sn.size() != 12 ||
                !onlyHexDigitsAndColons(sn) || sn.find(':') != std::string::npos)
                std::abort();
        }
    } else if (mac != before) {
        std::abort();
    }
    return 0;
}
