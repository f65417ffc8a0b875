// Feeds arbitrary bytes as fw_printenv's output (a temporary file) to the
// boot-environment MAC scan. A value found is at most 17 characters of one
// line; when none is found the caller's text stays as it was.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "init/boot_env.h"

static std::string scratchFile;

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
    } else if (mac != before) {
        std::abort();
    }
    return 0;
}
