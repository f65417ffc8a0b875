// Display conversions of the raw transceiver values; whole replies are
// pinned end to end (e2e_info_test).
#include <gtest/gtest.h>

#include <string>

#include "web/optical_command.h"

namespace {

TEST(OpticalCommandTest, Conversions)
{
    const std::tuple<const char *, OpticalDiagnostics, const char *> cases[] = {
        {"temp", {9088, 0, 0, 0, 0}, "35.50 \xE2\x84\x83"},
        {"temp", {65280, 0, 0, 0, 0}, "-1.00 \xE2\x84\x83"},
        {"temp", {32768, 0, 0, 0, 0}, "-128.00 \xE2\x84\x83"},
        {"temp", {32767, 0, 0, 0, 0}, "128.00 \xE2\x84\x83"},
        {"voltage", {0, 33000, 0, 0, 0}, "3.30 V"},
        {"voltage", {0, 65535, 0, 0, 0}, "6.55 V"},
        {"bias", {0, 0, 6170, 0, 0}, "12.34 mA"},
        {"bias", {0, 0, 65535, 0, 0}, "131.07 mA"},
        {"tx_opt_power", {0, 0, 0, 16000, 0}, "2.04 dBm"},
        {"tx_opt_power", {0, 0, 0, 10000, 0}, "0.00 dBm"},
        {"rx_opt_power", {0, 0, 0, 0, 100}, "-20.00 dBm"},
        {"rx_opt_power", {0, 0, 0, 0, 1}, "-40.00 dBm"},
        {"rx_opt_power", {0, 0, 0, 0, 0}, "-inf dBm"},
    };
    for (const auto &[key, diagnostics, text] : cases)
        EXPECT_EQ(opticalReplyFields(diagnostics).at(key), text) << key;
}

}  // namespace
