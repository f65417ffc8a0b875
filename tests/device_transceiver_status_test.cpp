// Decoding the transceiver's thresholds and flags from a memory with known
// values; reading it through the bus is pinned end to end.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device/transceiver_status.h"

static std::vector<uint32_t> values(const OpticalDiagnostics &d)
{
    return {d.temperature, d.supplyVoltage, d.txBiasCurrent, d.txOpticalPower, d.rxReceivedPower};
}

TEST(TransceiverStatusTest, DecodesThresholdsLiveValuesAndFlags)
{
    // Thresholds per value, high and low alarm, high and low warning: 85 -40 80 -35 degC,
    // 3.6 3.0 3.5 3.1 V, 80 2 70 3 mA, 5 -1 4 0 dBm, -7 -30 -8 -29 dBm.
    uint8_t memory[TRANSCEIVER_STATUS_ITEM.length] = {0x55, 0x00, 0xD8, 0x00, 0x50, 0x00, 0xDD, 0x00, 0x8C, 0xA0,
                                                      0x75, 0x30, 0x88, 0xB8, 0x79, 0x18, 0x9C, 0x40, 0x03, 0xE8,
                                                      0x88, 0xB8, 0x05, 0xDC, 0x7B, 0x87, 0x1F, 0x07, 0x62, 0x1F,
                                                      0x27, 0x10, 0x07, 0xCB, 0x00, 0x0A, 0x06, 0x31, 0x00, 0x0D};
    std::memcpy(memory + 96, "\x29\x4D\x80\x84\x18\x6A\x46\x50\x00\x8D", 10);
    // Alarms temperature high, bias low, RX low (its lower bits are none); warnings supply high, TX low, RX high.
    std::memcpy(memory + 112, "\x84\x7F\xFF\xFF\x21\x80", 6);

    TransceiverStatus status;
    decodeTransceiverStatus(memory, status);
    EXPECT_EQ(values(status.live), (std::vector<uint32_t>{0x294D, 0x8084, 0x186A, 0x4650, 0x008D}));
    const std::vector<uint32_t> thresholds[OPTICAL_LIMIT_COUNT] = {{0x5500, 36000, 40000, 31623, 1995},
                                                                   {0xD800, 30000, 1000, 7943, 10},
                                                                   {0x5000, 35000, 35000, 25119, 1585},
                                                                   {0xDD00, 31000, 1500, 10000, 13}};
    const std::vector<uint32_t> flags[OPTICAL_LIMIT_COUNT] = {
        {1, 0, 0, 0, 0}, {0, 0, 1, 0, 1}, {0, 1, 0, 0, 1}, {0, 0, 0, 1, 0}};
    for (int limit = 0; limit < OPTICAL_LIMIT_COUNT; ++limit) {
        EXPECT_EQ(values(status.thresholds[limit]), thresholds[limit]) << "limit " << limit;
        EXPECT_EQ(values(status.flags[limit]), flags[limit]) << "limit " << limit;
    }
}
