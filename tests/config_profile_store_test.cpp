#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "config/onu_profile_store.h"
#include "unit_support.h"

namespace {

const char LIVE_PROFILE[] = R"(<onu_profile>
  <Vendor>
    <attrib name="ONU vendor ID" value="VSK1"></attrib>
    <attrib name="ONU vendor name" value="Not the live vendor"></attrib>
    <attrib name="Model for eOAM" value="M100"></attrib>
    <attrib name="HW version" value="HW1.0"></attrib>
    <attrib name="SW version" value="SW2.0"></attrib>
    <attrib name="Firmware version" value="0x010203"></attrib>
    <attrib name="Firmware version" value="0x999999"></attrib>
  </Vendor>
</onu_profile>)";

const char DEFAULT_PROFILE[] = R"(<onu_profile><Vendor>
  <attrib name="ONU vendor ID" value="Not the default vendor"/>
  <attrib name="ONU vendor name" value="Default Vendor"/>
</Vendor></onu_profile>)";

std::vector<std::string> fields(const OnuVendorInfo &v)
{
    return {v.vendor, v.model, v.hardwareVersion, v.softwareVersion};
}

class OnuProfileStoreTest : public ::testing::Test {
protected:
    OnuProfileStoreTest()
        : profile(folder.write("profile.xml", LIVE_PROFILE)),
          defaultProfile(folder.write("default.xml", DEFAULT_PROFILE)), store("", profile, defaultProfile)
    {
    }

    TempFolder folder;
    std::string profile, defaultProfile;
    OnuProfileStore store;
};

// The live profile names the vendor by its ID, the factory profile by its name.
TEST_F(OnuProfileStoreTest, VendorInfoOfLiveAndDefaultProfile)
{
    OnuVendorInfo live, defaults{"", "keep", "keep", "keep"};
    EXPECT_EQ(0, store.getVendorInfo(live));
    EXPECT_EQ((std::vector<std::string>{"VSK1", "M100", "HW1.0", "SW2.0"}), fields(live));
    EXPECT_EQ(0, store.getDefaultVendorInfo(defaults));
    EXPECT_EQ((std::vector<std::string>{"Default Vendor", "keep", "keep", "keep"}), fields(defaults));

    // The walk stops at a property without a value; a later duplicate wins.
    const std::string walkXml = R"(<p><Vendor><attrib name="HW version" value="H1"/><other/>)"
                                R"(<attrib name="HW version" value="H2"/><attrib name="x"/>)"
                                R"(<attrib name="SW version" value="S1"/></Vendor></p>)";
    OnuProfileStore walk("", folder.write("walk.xml", walkXml), defaultProfile);
    OnuVendorInfo walked;
    EXPECT_EQ(0, walk.getVendorInfo(walked));
    EXPECT_EQ((std::vector<std::string>{"", "", "H2", ""}), fields(walked));
}

// Every write saves the live profile, also without a change, and leaves the
// properties it does not own (what it writes is pinned end to end).
TEST_F(OnuProfileStoreTest, SetVendorInfoAlwaysSavesLiveProfile)
{
    EXPECT_EQ(0, store.setVendorInfo({"VSK1", "M100", "HW1.0", "SW2.0"}));
    EXPECT_FALSE(untouched(profile));
    EXPECT_EQ(LIVE_PROFILE, readFile(profile));
    EXPECT_EQ(0, store.setVendorInfo({"NEW", "M200", "HW1.0", "SW3.0"}));
    EXPECT_NE(readFile(profile).find("value=\"Not the live vendor\""), std::string::npos);
    EXPECT_TRUE(untouched(defaultProfile));
}

// Converted properties, each read from a profile holding that one property.
TEST_F(OnuProfileStoreTest, Conversions)
{
    using Read = std::function<std::string(OnuProfileStore &)>;
    const Read icData = [](OnuProfileStore &s) {
        ChipInfo c;
        s.getChipInfo(c);
        return c.chipIcData;
    };
    const Read model = [](OnuProfileStore &s) {
        ChipInfo c;
        s.getChipInfo(c);
        return c.chipModel;
    };
    const Read firmware = [](OnuProfileStore &s) {
        std::string v = "keep";
        s.getFirmwareVersion(v);
        return v;
    };
    const Read type = [](OnuProfileStore &s) {
        OnuCapability c;
        s.getCapability(c);
        return c.onuType;
    };
    const std::tuple<const char *, const char *, const char *, Read, const char *> cases[] = {
        {"Vendor", "Chip version", "0xFF0C1F", icData, "2255/12/31"},
        // A pair that is not hexadecimal reads as 0.
        {"Vendor", "Chip version", "0x1G0315", icData, "2000/03/21"},
        {"Vendor", "Chip version", "0x14", icData, "2020/00/00"},
        {"Vendor", "Chip version", "", icData, "2000/00/00"},
        {"Vendor", "Chip model", "0x6601", model, "6601"},
        {"Vendor", "Chip model", "0", model, ""},
        {"Vendor", "Firmware version", "0xAABBCCDD", firmware, "AA.BB.CC.DD"},
        {"Vendor", "Firmware version", "0x1", firmware, "1"},
        {"Vendor", "Firmware version", "0x", firmware, ""},
        {"Vendor", "SW version", "1", firmware, ""},
        {"Capability", "ONU type", "0", type, "SFU"},
        {"Capability", "ONU type", "7", type, "Mixed HGU"},
        {"Capability", "ONU type", "8", type, "8"},
        {"Capability", "ONU type", "-1", type, "-1"},
        {"Capability", "ONU type", "abc", type, "SFU"},
        // No "ONU type": the empty text reads as 0.
        {"Capability", "POTS port number", "1", type, "SFU"},
    };
    for (const auto &[section, name, value, read, expected] : cases) {
        const std::string xml = std::string("<p><") + section + "><attrib name=\"" + name + "\" value=\"" + value +
                                "\"/></" + section + "></p>";
        OnuProfileStore one("", folder.write("one.xml", xml), defaultProfile);
        EXPECT_EQ(read(one), expected) << name << " " << value;
    }
    std::string version;
    EXPECT_EQ(0, store.getFirmwareVersion(version));
    EXPECT_EQ("01.02.03", version);  // the first of two properties
}

}  // namespace
