#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/onu_profile_store.h"
#include "config_test_files.h"

namespace {

const char LIVE_PROFILE[] = R"(<onu_profile>
  <Vendor>
    <attrib name="ONU vendor ID" value="VSK1"></attrib>
    <attrib name="ONU vendor name" value="Not the live vendor"></attrib>
    <attrib name="Model for eOAM" value="M100"></attrib>
    <attrib name="HW version" value="HW1.0"></attrib>
    <attrib name="SW version" value="SW2.0"></attrib>
    <attrib name="Chip vendor ID" value="0x11AB"></attrib>
    <attrib name="Chip model" value="0x6601"></attrib>
    <attrib name="Chip revision" value="0x02"></attrib>
    <attrib name="Chip version" value="0x140315"></attrib>
    <attrib name="Firmware version" value="0x010203"></attrib>
    <attrib name="Firmware version" value="0x999999"></attrib>
  </Vendor>
  <Capability>
    <attrib name="ONU type" value="1"></attrib>
    <attrib name="PON port number" value="1"></attrib>
    <attrib name="GE Ethernet port number" value="1"></attrib>
    <attrib name="FE Ethernet port number" value="0"></attrib>
    <attrib name="POTS port number" value="2"></attrib>
    <attrib name="Battery backup support capability" value="0"></attrib>
    <attrib name="GE Ethernet port bitmap" value="0x01"></attrib>
    <attrib name="FE Ethernet port bitmap" value="0x0F"></attrib>
    <attrib name="Maximum upstream queue per port" value="8"></attrib>
    <attrib name="Maximum downstream queue per port" value="4"></attrib>
  </Capability>
</onu_profile>)";

const char DEFAULT_PROFILE[] = R"(<onu_profile><Vendor>
  <attrib name="ONU vendor ID" value="Not the default vendor"/>
  <attrib name="ONU vendor name" value="Default Vendor"/>
</Vendor></onu_profile>)";

const char EOAM_CONFIG[] = R"(<eoam>
  <ONU_MULTICAST><oam_multicast_switch>1</oam_multicast_switch><port groupnum="64"/></ONU_MULTICAST>
  <ONU_LOOPDETECT><port loopdetect="0"/><port loopdetect="1"/><port/></ONU_LOOPDETECT>
</eoam>)";

std::vector<std::string> fields(const OnuVendorInfo &v)
{
    return {v.vendor, v.model, v.hardwareVersion, v.softwareVersion};
}

class OnuProfileStoreTest : public ::testing::Test {
protected:
    OnuProfileStoreTest()
        : eoam(folder.write("eoam.xml", EOAM_CONFIG)),
          profile(folder.write("profile.xml", LIVE_PROFILE)),
          defaultProfile(folder.write("default.xml", DEFAULT_PROFILE)),
          store(eoam, profile, defaultProfile)
    {
    }

    // A store whose live profile holds one property of `section`.
    OnuProfileStore oneProperty(const char *section, const char *name, const std::string &value)
    {
        std::string content = std::string("<p><") + section + "><attrib name=\"" + name +
                              "\" value=\"" + value + "\"/></" + section + "></p>";
        return OnuProfileStore(eoam, folder.write("one.xml", content), defaultProfile);
    }

    TempFolder folder;
    std::string eoam, profile, defaultProfile;
    OnuProfileStore store;
};

TEST_F(OnuProfileStoreTest, VendorNameDiffersBetweenLiveAndDefault)
{
    OnuVendorInfo live;
    EXPECT_EQ(0, store.getVendorInfo(live));
    EXPECT_EQ((std::vector<std::string>{"VSK1", "M100", "HW1.0", "SW2.0"}), fields(live));
    OnuVendorInfo defaults{"", "keep", "keep", "keep"};
    EXPECT_EQ(0, store.getDefaultVendorInfo(defaults));
    EXPECT_EQ((std::vector<std::string>{"Default Vendor", "keep", "keep", "keep"}),
              fields(defaults));
}

TEST_F(OnuProfileStoreTest, WalkStopsAtPropertyWithoutValueAndKeepsLaterDuplicates)
{
    OnuProfileStore s(eoam,
                      folder.write("walk.xml",
                                   "<p><Vendor><attrib name=\"HW version\" value=\"H1\"/><other/>"
                                   "<attrib name=\"HW version\" value=\"H2\"/><attrib name=\"x\"/>"
                                   "<attrib name=\"SW version\" value=\"S1\"/></Vendor></p>"),
                      defaultProfile);
    OnuVendorInfo info;
    EXPECT_EQ(0, s.getVendorInfo(info));
    EXPECT_EQ((std::vector<std::string>{"", "", "H2", ""}), fields(info));
}

TEST_F(OnuProfileStoreTest, ChipInfoConversions)
{
    ChipInfo chip;
    EXPECT_EQ(0, store.getChipInfo(chip));
    EXPECT_EQ((std::vector<std::string>{"11AB", "02", "2020/03/21", "6601"}),
              (std::vector<std::string>{chip.chipId, chip.chipRevision, chip.chipIcData,
                                        chip.chipModel}));
    const std::pair<const char *, const char *> dates[] = {
        {"0xFF0C1F", "2255/12/31"},
        {"0x1G0315", "2000/03/21"},  // a pair that is not hexadecimal reads as 0
        {"0x14", "2020/00/00"},
        {"", "2000/00/00"},
    };
    for (const auto &[version, date] : dates) {
        ChipInfo info;
        EXPECT_EQ(0, oneProperty("Vendor", "Chip version", version).getChipInfo(info));
        EXPECT_EQ(date, info.chipIcData) << version;
    }
    EXPECT_EQ(0, oneProperty("Vendor", "Chip model", "0").getChipInfo(chip));
    EXPECT_EQ("", chip.chipModel);
}

TEST_F(OnuProfileStoreTest, FirmwareVersionDottedForm)
{
    std::string version;
    EXPECT_EQ(0, store.getFirmwareVersion(version));
    EXPECT_EQ("01.02.03", version);  // the first of two properties
    const std::pair<const char *, const char *> cases[] = {
        {"0x12345", "12.34.5"}, {"0x1", "1"}, {"0x", ""}, {"0xAABBCCDD", "AA.BB.CC.DD"}};
    for (const auto &[value, dotted] : cases) {
        version = "keep";
        EXPECT_EQ(0, oneProperty("Vendor", "Firmware version", value).getFirmwareVersion(version));
        EXPECT_EQ(dotted, version) << value;
    }
    version = "keep";
    EXPECT_EQ(0, oneProperty("Vendor", "SW version", "1").getFirmwareVersion(version));
    EXPECT_EQ("", version);
}

TEST_F(OnuProfileStoreTest, CapabilityFieldsAndOnuType)
{
    OnuCapability c;
    EXPECT_EQ(0, store.getCapability(c));
    EXPECT_EQ((std::vector<std::string>{"1", "0x01", "0", "0x0F", "0x0F", "2", "8", "8", "4", "4",
                                        "0", "HGU"}),
              (std::vector<std::string>{c.geNumber, c.geBitmap, c.feNumber, c.feBitmapLsb,
                                        c.feBitmapMsb, c.potsNumber, c.usqNumber, c.maxUsqNumber,
                                        c.dsqNumber, c.maxDsqNumber, c.batteryBackup, c.onuType}));
    const std::pair<const char *, const char *> types[] = {
        {"0", "SFU"}, {"6", "1FE+1POTS SFU"}, {"7", "Mixed HGU"}, {"8", "8"},
        {"9", "9"},   {"-1", "-1"},           {"abc", "SFU"},
    };
    for (const auto &[value, name] : types) {
        OnuCapability read;
        EXPECT_EQ(0, oneProperty("Capability", "ONU type", value).getCapability(read));
        EXPECT_EQ(name, read.onuType) << value;
    }
    OnuCapability empty;  // no "ONU type": the empty text reads as 0
    EXPECT_EQ(0, oneProperty("Capability", "POTS port number", "1").getCapability(empty));
    EXPECT_EQ("SFU", empty.onuType);
}

TEST_F(OnuProfileStoreTest, SetVendorInfoAlwaysSavesLiveProfile)
{
    const std::string original = readFile(profile);
    EXPECT_EQ(0, store.setVendorInfo({"VSK1", "M100", "HW1.0", "SW2.0"}));
    EXPECT_FALSE(untouched(profile));
    EXPECT_EQ(original, readFile(profile));

    EXPECT_EQ(0, store.setVendorInfo({"NEW", "M200", "HW1.0", "SW3.0"}));
    OnuVendorInfo info;
    store.getVendorInfo(info);
    EXPECT_EQ((std::vector<std::string>{"NEW", "M200", "HW1.0", "SW3.0"}), fields(info));
    EXPECT_NE(std::string::npos, readFile(profile).find("value=\"Not the live vendor\""));
    EXPECT_TRUE(untouched(defaultProfile));
}

TEST_F(OnuProfileStoreTest, MulticastAndLoopDetect)
{
    std::string value;
    EXPECT_EQ(0, store.getMulticastGroupNum(value));
    EXPECT_EQ("64", value);
    EXPECT_EQ(0, store.setMulticastSwitch("1"));
    EXPECT_EQ(0, store.setLoopDetect("1", "1"));
    EXPECT_EQ(-1, store.setLoopDetect("3", "1"));
    EXPECT_TRUE(untouched(eoam));

    struct Case {
        const char *index;
        int result;
        const char *value;
    };
    const Case cases[] = {
        {"1", 0, "1"}, {"x", 0, "0"}, {"2", 0, "keep"}, {"3", -1, "keep"}, {"-1", -1, "keep"},
    };
    for (const Case &c : cases) {
        value = "keep";
        EXPECT_EQ(c.result, store.getLoopDetect(c.index, value)) << c.index;
        EXPECT_EQ(c.value, value) << c.index;
    }

    EXPECT_EQ(0, store.setMulticastSwitch("0"));
    EXPECT_EQ(0, store.setLoopDetect("2", "1"));
    EXPECT_NE(std::string::npos,
              readFile(eoam).find("<oam_multicast_switch>0</oam_multicast_switch>"));
    EXPECT_NE(std::string::npos, readFile(eoam).find("<port loopdetect=\"1\"></port></ONU"));
}

TEST_F(OnuProfileStoreTest, MissingFilesOrSectionsFail)
{
    std::string missing = folder.path + "/missing.xml";
    std::string empty = folder.write("empty.xml", "<x><ONU_MULTICAST><port/></ONU_MULTICAST></x>");
    for (const std::string &target : {missing, empty}) {
        OnuProfileStore s(target, target, target);
        OnuVendorInfo vendor;
        ChipInfo chip;
        OnuCapability capability;
        std::string text;
        const int results[] = {
            s.getVendorInfo(vendor),       s.getDefaultVendorInfo(vendor),
            s.setVendorInfo(vendor),       s.getChipInfo(chip),
            s.getCapability(capability),   s.getFirmwareVersion(text),
            s.getMulticastSwitch(text),    s.setMulticastSwitch("1"),
            s.getMulticastGroupNum(text),  s.getLoopDetect("0", text),
            s.setLoopDetect("0", "1"),
        };
        for (int result : results) {
            EXPECT_EQ(-1, result);
        }
        EXPECT_TRUE(text.empty() && capability.onuType.empty());
    }
    EXPECT_TRUE(untouched(empty));
}

}  // namespace
