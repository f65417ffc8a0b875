#include <gtest/gtest.h>

#include <string>

#include "web/onu_info_command.h"
#include "web/pon_settings_command.h"

namespace {

TEST(PonIdentityTest, OnuIdFromMac)
{
    const std::pair<std::string, std::string> cases[] = {
        {"00:50:43:02:00:00", "005043020000"},
        {"aa:bb:cc:dd:ee:ff", "aabbccddeeff"},
        {"00-50-43-02-00-00", "005043020000"},  // any separator at the colon positions
        {"00:50:43", "005043"},                 // too short: colons dropped
        {"0050430200", "0050430200"},
        {"", ""},
        {":", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(onuIdFromMac(c.first), c.second) << c.first;
    }
}

TEST(PonIdentityTest, MaskLoid)
{
    const std::pair<std::string, std::string> cases[] = {
        {"helo", "hABC"},
        {"HELLO", "HELLO"},
        {"xEloyelo", "xABCyelo"},  // first occurrence only
        {"eLO", "ABC"},
        {"loid123", "loid123"},
        {"", ""},
        {"el", "el"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(maskLoid(c.first), c.second) << c.first;
    }
}

TEST(PonIdentityTest, SerialFromMac)
{
    struct Case {
        std::string serial;
        std::string mac;
        std::string expected;
    };
    const Case cases[] = {
        {"VESK12345678", "00:50:43:02:00:00", "VESK43020000"},
        {"AB", "00:11:22:33:44:55", "AB22334455"},
        {"", "00:11:22:33:44:55", "22334455"},
        {"VESK12345678", "0050430200", "VESK12345678"},  // not the colon form: unchanged
        {"VESK12345678", "", "VESK12345678"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(serialFromMac(c.serial, c.mac), c.expected) << c.mac;
    }
}

}  // namespace
