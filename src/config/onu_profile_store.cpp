#include "config/onu_profile_store.h"

#include <charconv>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "config/leading_int.h"
#include "config/paths.h"
#include "config/store_access.h"
#include "config/store_edit.h"

// The vendor property is named differently in the live and the default profile.
static const char LIVE_VENDOR_NAME[] = "ONU vendor ID";
static const char DEFAULT_VENDOR_NAME[] = "ONU vendor name";

struct VendorProperty {
    const char *name;
    std::string OnuVendorInfo::*field;
};

static const VendorProperty VENDOR_PROPERTIES[] = {
    {"Model for eOAM", &OnuVendorInfo::model},
    {"HW version", &OnuVendorInfo::hardwareVersion},
    {"SW version", &OnuVendorInfo::softwareVersion},
};

// Chip properties given as "0x" and hexadecimal digits; the field takes the digits.
struct ChipProperty {
    const char *name;
    std::string ChipInfo::*field;
};

static const ChipProperty CHIP_PROPERTIES[] = {
    {"Chip vendor ID", &ChipInfo::chipId},
    {"Chip revision", &ChipInfo::chipRevision},
    {"Chip model", &ChipInfo::chipModel},
};

static const char CHIP_VERSION_NAME[] = "Chip version";
static const char FIRMWARE_VERSION_NAME[] = "Firmware version";

// A capability property fills one field, or two with the same text.
struct CapabilityProperty {
    const char *name;
    std::string OnuCapability::*field;
    std::string OnuCapability::*secondField;
};

static const CapabilityProperty CAPABILITY_PROPERTIES[] = {
    {"ONU type", &OnuCapability::onuType, nullptr},
    {"GE Ethernet port number", &OnuCapability::geNumber, nullptr},
    {"FE Ethernet port number", &OnuCapability::feNumber, nullptr},
    {"POTS port number", &OnuCapability::potsNumber, nullptr},
    {"Battery backup support capability", &OnuCapability::batteryBackup, nullptr},
    {"GE Ethernet port bitmap", &OnuCapability::geBitmap, nullptr},
    {"FE Ethernet port bitmap", &OnuCapability::feBitmapLsb, &OnuCapability::feBitmapMsb},
    {"Maximum upstream queue per port", &OnuCapability::usqNumber, &OnuCapability::maxUsqNumber},
    {"Maximum downstream queue per port", &OnuCapability::dsqNumber, &OnuCapability::maxDsqNumber},
};

static const char *const ONU_TYPE_NAMES[] = {
    "SFU", "HGU", "SBU", "CBU", "MDU", "MTU", "1FE+1POTS SFU", "Mixed HGU",
};

// A profile property: one `attrib` element with its `name` and `value`, seen
// in place in the open document.
struct Property {
    XmlNode *element;
    std::string_view name;
    std::string_view value;
};

// The properties of a profile section in document order. The walk stops at
// the first `attrib` that lacks its name or its value.
static std::vector<Property> properties(XmlNode *section)
{
    std::vector<Property> list;
    for (XmlNode *attrib = xmlChild(section, "attrib"); attrib; attrib = attrib->next) {
        const char *name = xmlAttr(attrib, "name");
        const char *value = xmlAttr(attrib, "value");
        if (!name || !value)
            break;
        list.push_back({attrib, name, value});
    }
    return list;
}

// A hexadecimal text without its leading "0x".
static std::string withoutPrefix(std::string_view value)
{
    return value.size() > 2 ? std::string(value.substr(2)) : std::string();
}

// The two characters at `pos` read as a hexadecimal number; 0 when they are
// missing or not both hexadecimal digits. (std::from_chars and std::to_string
// rather than strtol and snprintf: the ONU information page then loads
// neither the C library's locale tables nor its formatting code.)
static int hexPair(std::string_view value, size_t pos)
{
    if (pos + 2 > value.size())
        return 0;
    const char *first = value.data() + pos;
    unsigned number = 0;
    if (std::from_chars(first, first + 2, number, 16).ptr != first + 2)
        return 0;
    return static_cast<int>(number);
}

// A number from 0 to 255 with at least two digits, as "%.2d" writes it.
static std::string twoDigits(int number) { return (number < 10 ? "0" : "") + std::to_string(number); }

// "0xYYMMDD" in hexadecimal pairs -> "20YY/MM/DD" in decimal.
static std::string chipDate(std::string_view value)
{
    return std::to_string(hexPair(value, 2) + 2000) + "/" + twoDigits(hexPair(value, 4)) + "/" +
           twoDigits(hexPair(value, 6));
}

// "0x010203" -> "01.02.03"; an odd last character stands alone.
static std::string dottedVersion(const std::string &value)
{
    std::string dotted;
    for (size_t pos = 2; pos < value.size(); pos += 2) {
        if (!dotted.empty())
            dotted += '.';
        dotted += value.substr(pos, 2);
    }
    return dotted;
}

// Reads the vendor properties of the profile at `file`, whose vendor
// property is called `vendorName`.
static int readVendorInfo(const std::string &file, const char *vendorName, OnuVendorInfo &info)
{
    DocumentHandle doc = openDocument(file);
    XmlNode *vendor = xmlChild(doc.get(), "Vendor");
    if (!vendor)
        return -1;
    for (const Property &property : properties(vendor)) {
        if (property.name == vendorName)
            info.vendor = property.value;
        for (const VendorProperty &known : VENDOR_PROPERTIES)
            if (property.name == known.name)
                info.*known.field = property.value;
    }
    return 0;
}

// The n-th `port` of the loop-detection section, n given as a decimal text.
static XmlNode *loopDetectPort(XmlNode *root, const std::string &portIndex)
{
    return xmlIndex(xmlChild(xmlChild(root, "ONU_LOOPDETECT"), "port"), leadingInt(portIndex));
}

OnuProfileStore *OnuProfileStore::getInstance()
{
    static OnuProfileStore *instance =
        new OnuProfileStore(EOAM_XML_PATH, ONU_PROFILE_XML_PATH, DEFAULT_ONU_PROFILE_XML_PATH);
    return instance;
}

OnuProfileStore::OnuProfileStore(std::string path, std::string profilePath, std::string defaultProfilePath)
    : path(std::move(path)), profilePath(std::move(profilePath)), defaultProfilePath(std::move(defaultProfilePath))
{
}

int OnuProfileStore::getVendorInfo(OnuVendorInfo &info) { return readVendorInfo(profilePath, LIVE_VENDOR_NAME, info); }

int OnuProfileStore::getDefaultVendorInfo(OnuVendorInfo &info)
{
    return readVendorInfo(defaultProfilePath, DEFAULT_VENDOR_NAME, info);
}

int OnuProfileStore::setVendorInfo(const OnuVendorInfo &info)
{
    return editDocument(
        profilePath,
        [&](XmlNode *root) {
            XmlNode *vendor = xmlChild(root, "Vendor");
            if (!vendor)
                return Edit::NOT_FOUND;
            for (const Property &property : properties(vendor)) {
                if (property.name == LIVE_VENDOR_NAME)
                    setAttr(property.element, "value", info.vendor);
                for (const VendorProperty &known : VENDOR_PROPERTIES)
                    if (property.name == known.name)
                        setAttr(property.element, "value", info.*known.field);
            }
            return Edit::CHANGED;  // saved whether or not a value changed
        });
}

int OnuProfileStore::getChipInfo(ChipInfo &info)
{
    DocumentHandle doc = openDocument(profilePath);
    XmlNode *vendor = xmlChild(doc.get(), "Vendor");
    if (!vendor)
        return -1;
    for (const Property &property : properties(vendor)) {
        if (property.name == CHIP_VERSION_NAME)
            info.chipIcData = chipDate(property.value);
        for (const ChipProperty &known : CHIP_PROPERTIES)
            if (property.name == known.name)
                info.*known.field = withoutPrefix(property.value);
    }
    return 0;
}

int OnuProfileStore::getCapability(OnuCapability &capability)
{
    DocumentHandle doc = openDocument(profilePath);
    XmlNode *section = xmlChild(doc.get(), "Capability");
    if (!section)
        return -1;
    for (const Property &property : properties(section)) {
        for (const CapabilityProperty &known : CAPABILITY_PROPERTIES) {
            if (property.name == known.name) {
                capability.*known.field = property.value;
                if (known.secondField)
                    capability.*known.secondField = property.value;
            }
        }
    }
    int onuType = leadingInt(capability.onuType);
    if (onuType >= 0 && onuType < static_cast<int>(std::size(ONU_TYPE_NAMES)))
        capability.onuType = ONU_TYPE_NAMES[onuType];
    return 0;
}

int OnuProfileStore::getFirmwareVersion(std::string &version)
{
    DocumentHandle doc = openDocument(profilePath);
    XmlNode *vendor = xmlChild(doc.get(), "Vendor");
    if (!vendor)
        return -1;
    std::string firmware;
    for (const Property &property : properties(vendor)) {
        if (property.name == FIRMWARE_VERSION_NAME) {
            firmware = property.value;
            break;
        }
    }
    version = dottedVersion(firmware);
    return 0;
}

int OnuProfileStore::getMulticastSwitch(std::string &value)
{
    return readLeafText(path, "ONU_MULTICAST", "oam_multicast_switch", value);
}

int OnuProfileStore::setMulticastSwitch(std::string value)
{
    return writeLeafText(path, "ONU_MULTICAST", "oam_multicast_switch", value);
}

int OnuProfileStore::getMulticastGroupNum(std::string &groupNum)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *port = xmlChild(xmlChild(doc.get(), "ONU_MULTICAST"), "port");
    const char *value = xmlAttr(port, "groupnum");
    if (!value)
        return -1;
    groupNum = value;
    return 0;
}

int OnuProfileStore::getLoopDetect(std::string portIndex, std::string &value)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *port = loopDetectPort(doc.get(), portIndex);
    if (!port)
        return -1;
    copyAttr(port, "loopdetect", value);
    return 0;
}

int OnuProfileStore::setLoopDetect(std::string portIndex, const std::string &value)
{
    return editDocument(
        path, [&](XmlNode *root) { return setAttr(loopDetectPort(root, portIndex), "loopdetect", value); });
}
