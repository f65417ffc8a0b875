#include <utility>

#include "config/onu_profile_store.h"
#include "unit_support.h"

static std::string attrib(const char *name, const char *value)
{
    return std::string("<attrib name=\"") + name + "\" value=\"" + value + "\"/>";
}

// Chip date, chip model, firmware version and ONU type, each read by its own operation.
static std::string converted(OnuProfileStore &store)
{
    ChipInfo chip;
    OnuCapability capability;
    std::string firmware = "unchanged";
    store.getChipInfo(chip);
    store.getCapability(capability);
    store.getFirmwareVersion(firmware);
    return chip.chipIcData + "|" + chip.chipModel + "|" + firmware + "|" + capability.onuType;
}

// Each row's properties stand in both the Vendor and the Capability section.
TEST(OnuProfileStoreTest, Conversions)
{
    const std::pair<std::string, const char *> cases[] = {
        {attrib("Chip version", "0xFF0C1F"), "2255/12/31|||SFU"},
        {attrib("Chip version", "0x1G0315"), "2000/03/21|||SFU"},  // a pair that is not hexadecimal reads as 0
        {attrib("Chip model", "0x6601"), "|6601||SFU"},
        {attrib("Firmware version", "0xAABBCCDD"), "||AA.BB.CC.DD|SFU"},
        {attrib("Firmware version", "0x12345"), "||12.34.5|SFU"},
        {attrib("Firmware version", "0x"), "|||SFU"},
        {attrib("ONU type", "7"), "|||Mixed HGU"},
        {attrib("ONU type", "8"), "|||8"},
        {attrib("ONU type", "-1"), "|||-1"},
        {attrib("ONU type", "abc"), "|||SFU"},
    };
    TempFolder folder;
    for (const auto &[properties, expected] : cases) {
        OnuProfileStore store("",
                              folder.write("profile.xml", "<p><Vendor>" + properties + "</Vendor><Capability>" +
                                                              properties + "</Capability></p>"),
                              "");
        EXPECT_EQ(converted(store), expected) << properties;
    }
}
