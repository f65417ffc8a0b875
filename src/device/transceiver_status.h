// The transceiver's own limits and flags beside its live values (SFF-8472,
// device 0x51): alarm and warning thresholds in bytes 0-39, live values in
// 96-105, alarm flags in 112-113 and warning flags in 116-117. One block run
// over bytes 0-117 reads them all, with the diagnostics' access and timing.
#ifndef ONU_DEVICE_TRANSCEIVER_STATUS_H
#define ONU_DEVICE_TRANSCEIVER_STATUS_H

#include <cstddef>
#include <cstdint>

#include "device/i2c_acess.h"

// The five values in record order, with their names (also the console labels).
struct OpticalField {
    const char *name;
    uint32_t OpticalDiagnostics::*value;
};
const size_t OPTICAL_FIELD_COUNT = 5;
extern const OpticalField OPTICAL_FIELDS[OPTICAL_FIELD_COUNT];

// The four limits of each value, in the module's order.
enum OpticalLimit { HIGH_ALARM, LOW_ALARM, HIGH_WARNING, LOW_WARNING, OPTICAL_LIMIT_COUNT };

struct TransceiverStatus {
    OpticalDiagnostics live;
    // Raw thresholds per limit, in the live values' units.
    OpticalDiagnostics thresholds[OPTICAL_LIMIT_COUNT];
    // Per limit: 1 for each value whose flag the module raised, else 0.
    OpticalDiagnostics flags[OPTICAL_LIMIT_COUNT];
};

// Bytes 0-117 of the diagnostics area.
constexpr I2cReadItem TRANSCEIVER_STATUS_ITEM = {0, 118};

// Fills the status from the bytes of TRANSCEIVER_STATUS_ITEM.
void decodeTransceiverStatus(const uint8_t *bytes, TransceiverStatus &status);
// Reads and decodes the status; -1, status untouched, when the module or the
// bus did not answer all of it.
int readTransceiverStatus(I2cAcess &transceiver, TransceiverStatus &status);

#endif
