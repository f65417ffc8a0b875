#include <gtest/gtest.h>

#include <string>

#include "init/mac_address.h"

TEST(NextMacAddress, CarriesAndReadsOnlyUpToTheFirstMismatch)
{
    const char *cases[][2] = {
        {"00:11:22:33:44:55", "00:11:22:33:44:56"}, {"00:11:22:33:44:ff", "00:11:22:33:45:00"},
        {"00:11:22:ff:ff:ff", "00:11:23:00:00:00"}, {"ff:ff:ff:ff:ff:ff", "00:00:00:00:00:00"},
        {"0a:0b:0c:0d:0e:0f", "0A:0B:0C:0D:0E:10"}, {"1:2:3:4:5:6", "01:02:03:04:05:07"},
        {"", "00:00:00:00:00:01"},                  {"12:34:zz:56", "12:34:00:00:00:01"},
        {"001122334455", "00:00:00:00:00:01"},      {"00:11:22:33:44:55:66", "00:11:22:33:44:56"},
    };
    for (const auto &c : cases) {
        std::string mac = c[0];
        nextMacAddress(mac);
        EXPECT_EQ(mac, c[1]) << "from \"" << c[0] << "\"";
    }
}

TEST(SerialFromMac, RemovesTheSeparatorsOrRefusesShortTexts)
{
    const char *cases[][2] = {
        {"00:11:22:33:44:55", "001122334455"}, {"AA:bb:CC:dd:EE:ff", "AAbbCCddEEff"},
        {"aa:bb:cc:dd:ee", "aabbccddee"},      {"aa:bb:cc:dd:e", "unchanged"},
        {"", "unchanged"},
    };
    for (const auto &c : cases) {
        std::string sn = "unchanged";
        EXPECT_EQ(serialFromMac(c[0], sn), std::string(c[1]) == "unchanged" ? -1 : 0) << c[0];
        EXPECT_EQ(sn, c[1]) << c[0];
    }
}
