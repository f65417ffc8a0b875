#include <gtest/gtest.h>

#include <string>

#include "web/optical_command.h"

namespace {

std::string field(const char *key, OpticalDiagnostics diagnostics)
{
    return opticalReplyFields(diagnostics).at(key);
}

OpticalDiagnostics withTemperature(uint32_t raw) { return {raw, 0, 0, 0, 0}; }
OpticalDiagnostics withVoltage(uint32_t raw) { return {0, raw, 0, 0, 0}; }
OpticalDiagnostics withBias(uint32_t raw) { return {0, 0, raw, 0, 0}; }
OpticalDiagnostics withPowers(uint32_t tx, uint32_t rx) { return {0, 0, 0, tx, rx}; }

TEST(OpticalCommandTest, Conversions)
{
    struct Case {
        const char *key;
        OpticalDiagnostics diagnostics;
        std::string expected;
    };
    const Case cases[] = {
        {"temp", withTemperature(9088), "35.50 \xE2\x84\x83"},
        {"temp", withTemperature(65280), "-1.00 \xE2\x84\x83"},
        {"temp", withTemperature(32768), "-128.00 \xE2\x84\x83"},
        {"temp", withTemperature(32767), "128.00 \xE2\x84\x83"},
        {"voltage", withVoltage(33000), "3.30 V"},
        {"voltage", withVoltage(65535), "6.55 V"},
        {"bias", withBias(6170), "12.34 mA"},
        {"bias", withBias(65535), "131.07 mA"},
        {"tx_opt_power", withPowers(16000, 0), "2.04 dBm"},
        {"tx_opt_power", withPowers(10000, 0), "0.00 dBm"},
        {"rx_opt_power", withPowers(0, 100), "-20.00 dBm"},
        {"rx_opt_power", withPowers(0, 1), "-40.00 dBm"},
        {"rx_opt_power", withPowers(0, 0), "-inf dBm"},
        {"tx_opt_power", withPowers(0, 100), "-inf dBm"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(field(c.key, c.diagnostics), c.expected) << c.key;
    }
}

TEST(OpticalCommandTest, ReplyText)
{
    EXPECT_EQ(HttpReply::toJson(opticalReplyFields({9088, 33000, 6170, 16000, 100})),
              "{bias:\"12.34 mA\",rx_opt_power:\"-20.00 dBm\",temp:\"35.50 \xE2\x84\x83\","
              "tx_opt_power:\"2.04 dBm\",voltage:\"3.30 V\"}");
    EXPECT_EQ(HttpReply::toJson(opticalReplyFields({0, 0, 0, 0, 0})),
              "{bias:\"0.00 mA\",rx_opt_power:\"-inf dBm\",temp:\"0.00 \xE2\x84\x83\","
              "tx_opt_power:\"-inf dBm\",voltage:\"0.00 V\"}");
}

}  // namespace
