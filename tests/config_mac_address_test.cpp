#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "config/mac_address.h"

TEST(NextMacAddress, CarriesAndReadsOnlyUpToTheFirstMismatch)
{
    const char *cases[][2] = {
        {"00:11:22:33:44:55", "00:11:22:33:44:56"},
        {"00:11:22:33:44:ff", "00:11:22:33:45:00"},
        {"00:11:22:ff:ff:ff", "00:11:23:00:00:00"},
        {"ff:ff:ff:ff:ff:ff", "00:00:00:00:00:00"},
        {"0a:0b:0c:0d:0e:0f", "0A:0B:0C:0D:0E:10"},
        {"1:2:3:4:5:6", "01:02:03:04:05:07"},
        {"", "00:00:00:00:00:01"},
        {"12:34:zz:56", "12:34:00:00:00:01"},
        {"001122334455", "00:00:00:00:00:01"},
        {"00:11:22:33:44:55:66", "00:11:22:33:44:56"},
    };
    for (const auto &c : cases) {
        std::string mac = c[0];
        nextMacAddress(mac);
        EXPECT_EQ(mac, c[1]) << "from \"" << c[0] << "\"";
    }
}

// The only MAC text the initializer hands to a shell command.
TEST(MacAddressForm, OnlySixColonSeparatedHexadecimalPairs)
{
    const std::pair<const char *, bool> cases[] = {
        {"00:11:22:33:44:55", true},   {"aA:bB:cC:dD:eE:fF", true},     {"", false},
        {"00:11:22:33:44", false},     {"00:11:22:33:44:55:66", false}, {"000:11:22:33:44:55", false},
        {"00:11:22:33:44:5g", false},  {"00-11-22-33-44-55", false},    {"00:11:22:33:4:555", false},
        {"00:11:22:33:44:5\n", false}, {"$(id):22:33:44:55", false},    {" 0:11:22:33:44:55", false},
    };
    for (const auto &[text, valid] : cases)
        EXPECT_EQ(isMacAddress(text), valid) << text;
}

// The unit's identifiers are made of these digits: the ONU ID, the serial
// number, the derived PON serial number.
TEST(MacDigits, DropsTheColonPositionsOfTheColonFormAndAnyColonOfAShortText)
{
    const char *cases[][2] = {
        {"00:50:43:02:00:00", "005043020000"},
        {"aA:bB:cC:dD:eE:fF", "aAbBcCdDeEfF"},
        {"00-11-22-33-44-55", "001122334455"},
        {"1:2:3", "123"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(macDigits(c[0]), c[1]) << c[0];
}
