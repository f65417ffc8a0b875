#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "config/mac_address.h"

// A carry into the next byte and the upper case are shown by onu-init's
// programming mode end to end.
TEST(NextMacAddress, CarriesAndReadsOnlyUpToTheFirstMismatch)
{
    const char *cases[][2] = {
        {"00:11:22:ff:ff:ff", "00:11:23:00:00:00"},    {"ff:ff:ff:ff:ff:ff", "00:00:00:00:00:00"},
        {"1:2:3:4:5:6", "01:02:03:04:05:07"},          {"", "00:00:00:00:00:01"},
        {"12:34:zz:56", "12:34:00:00:00:01"},          {"001122334455", "00:00:00:00:00:01"},
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

// The unit's identifiers (ONU ID, serial numbers) are made of these digits;
// end to end they show the colon form and a short text.
TEST(MacDigits, DropsTheColonPositionsOfTheColonFormAndAnyColonOfAShortText)
{
    const char *cases[][2] = {{"00-11-22-33-44-55", "001122334455"}, {"", ""}};
    for (const auto &c : cases)
        EXPECT_EQ(macDigits(c[0]), c[1]) << c[0];
}
