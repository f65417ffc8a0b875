// Feeds arbitrary bytes as the EPON driver's information and counters files
// (one temporary file stands for both) to the two readers. Every field must
// come back as a word: never holding a blank or a line feed.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/epon_info_reader.h"
#include "fuzz_support.h"

static std::string driverFile;

static void requireWord(const std::string &field)
{
    if (field.find_first_of(" \n") != std::string::npos)
        std::abort();
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    driverFile = scratchFolder() + "/infoEpon";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    writeInput(driverFile, data, size);

    EponInfoReader reader(driverFile, driverFile);
    EponInfo info;
    if (reader.readEponInfo(info) != 0)
        std::abort();
    for (const std::string *field :
         {&info.state, &info.etherType, &info.unicastMacAddr, &info.field3, &info.txLLId1, &info.txLLId2})
        requireWord(*field);

    EponCounters counters;
    if (reader.readAllCounters(counters) != 0)
        std::abort();
    for (const EponCounterField &field : EPON_COUNTER_FIELDS)
        requireWord(counters.*field.value);
    return 0;
}
