// Console routine over the transceiver's thresholds and flags.
#include <string>

#include "device/transceiver_status.h"
#include "diag/diag_routines.h"
#include "log/console_line.h"

namespace {

const char *const LIMIT_SUFFIXES[OPTICAL_LIMIT_COUNT] = {"HighAlarm", "LowAlarm", "HighWarning", "LowWarning"};

}  // namespace

int showTransceiverThresholds()
{
    const std::string busPath = I2C_BUS_PATH;
    I2cAcess transceiver(busPath);
    TransceiverStatus status;
    if (readTransceiverStatus(transceiver, status) != 0) {
        printLine("get transceiver thresholds error ");
        return -1;
    }
    for (const OpticalField &field : OPTICAL_FIELDS)
        for (size_t limit = 0; limit < OPTICAL_LIMIT_COUNT; ++limit)
            printLine(field.name + std::string(LIMIT_SUFFIXES[limit]) + " = ",
                      std::to_string(status.thresholds[limit].*field.value));
    for (const OpticalField &field : OPTICAL_FIELDS)
        for (size_t limit = 0; limit < OPTICAL_LIMIT_COUNT; ++limit)
            printLine(field.name + std::string(LIMIT_SUFFIXES[limit]) + "Flag = ",
                      std::to_string(status.flags[limit].*field.value));
    return 0;
}
