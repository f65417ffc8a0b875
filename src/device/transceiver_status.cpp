#include "device/transceiver_status.h"

namespace {

const size_t LIVE_OFFSET = 96;
const size_t ALARM_FLAGS_OFFSET = 112;
const size_t WARNING_FLAGS_OFFSET = 116;

}  // namespace

const OpticalField OPTICAL_FIELDS[OPTICAL_FIELD_COUNT] = {
    {"temperature", &OpticalDiagnostics::temperature},         {"supplyVoltage", &OpticalDiagnostics::supplyVoltage},
    {"txBiasCurrent", &OpticalDiagnostics::txBiasCurrent},     {"txOpticalPower", &OpticalDiagnostics::txOpticalPower},
    {"rxReceivedPower", &OpticalDiagnostics::rxReceivedPower},
};

void decodeTransceiverStatus(const uint8_t *bytes, TransceiverStatus &status)
{
    I2cAcess::decodeDiagnostics(bytes + LIVE_OFFSET, status.live);
    // Each flag word holds two bits per value, high then low, from the top bit
    // down in record order.
    const uint16_t alarms = swapBytes16(bytes[ALARM_FLAGS_OFFSET], bytes[ALARM_FLAGS_OFFSET + 1]);
    const uint16_t warnings = swapBytes16(bytes[WARNING_FLAGS_OFFSET], bytes[WARNING_FLAGS_OFFSET + 1]);
    for (size_t field = 0; field < OPTICAL_FIELD_COUNT; ++field) {
        uint32_t OpticalDiagnostics::*value = OPTICAL_FIELDS[field].value;
        // Thresholds: eight bytes per value, one pair per limit in limit order.
        for (size_t limit = 0; limit < OPTICAL_LIMIT_COUNT; ++limit) {
            const uint8_t *pair = bytes + field * 2 * OPTICAL_LIMIT_COUNT + limit * 2;
            status.thresholds[limit].*value = swapBytes16(pair[0], pair[1]);
        }
        const unsigned highBit = 15 - 2 * field;
        status.flags[HIGH_ALARM].*value = (alarms >> highBit) & 1u;
        status.flags[LOW_ALARM].*value = (alarms >> (highBit - 1)) & 1u;
        status.flags[HIGH_WARNING].*value = (warnings >> highBit) & 1u;
        status.flags[LOW_WARNING].*value = (warnings >> (highBit - 1)) & 1u;
    }
}

int readTransceiverStatus(I2cAcess &transceiver, TransceiverStatus &status)
{
    uint8_t bytes[TRANSCEIVER_STATUS_ITEM.length];
    size_t count = 0;
    transceiver.readRegisters(TRANSCEIVER_DIAG_ADDRESS, {TRANSCEIVER_STATUS_ITEM}, bytes, sizeof bytes, count);
    if (count != sizeof bytes)
        return -1;
    decodeTransceiverStatus(bytes, status);
    return 0;
}
