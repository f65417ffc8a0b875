// Every 16-bit reading shows as "%.2f" shows the single-precision value
// computed with the C library's logarithm.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "web/optical_commands.h"

namespace {

std::string printed(float value, const char *unit)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text + std::string(unit);
}

float referenceDbm(uint32_t raw)
{
    const float milliwatts = static_cast<float>(raw) / 10000.0f;
    return static_cast<float>(10.0 * std::log(static_cast<double>(milliwatts)) / std::log(10.0));
}

TEST(OpticalCommandTest, EveryReadingAsPrintfShowsIt)
{
    for (uint32_t raw = 0; raw <= 0xFFFF; ++raw) {
        float temperature = static_cast<float>(raw);
        if (temperature > 32767.0f)
            temperature -= 65536.0f;
        temperature *= 1.0f / 256;
        const ReplyFields fields = opticalReplyFields({raw, raw, raw, raw, raw});
        ASSERT_EQ(fields.at("temp"), printed(temperature, " \xE2\x84\x83")) << raw;
        ASSERT_EQ(fields.at("voltage"), printed(static_cast<float>(raw) / 10000.0f, " V")) << raw;
        ASSERT_EQ(fields.at("bias"), printed(static_cast<float>(raw * 2u) / 1000.0f, " mA")) << raw;
        ASSERT_EQ(fields.at("tx_opt_power"), printed(referenceDbm(raw), " dBm")) << raw;
        ASSERT_EQ(fields.at("rx_opt_power"), printed(referenceDbm(raw), " dBm")) << raw;
    }
}

}  // namespace
