#include "web/firmware_image.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "config/paths.h"

namespace {

// uImage: a 64-byte big-endian header, then the data it describes.
constexpr std::size_t UIMAGE_HEADER_SIZE = 64;
constexpr std::uint32_t UIMAGE_MAGIC = 0x27051956;
constexpr std::size_t HEADER_CRC_AT = 4;
constexpr std::size_t DATA_SIZE_AT = 12;
constexpr std::size_t DATA_CRC_AT = 24;
constexpr char SQUASHFS_MAGIC[] = "hsqs";
// The partition the update archive is unpacked into.
constexpr long WRITABLE_FS_TYPE = 3;

// CRC-32 (IEEE 802.3, reflected polynomial 0xEDB88320), one table entry per byte value.
constexpr std::array<std::uint32_t, 256> makeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t value = 0; value < 256; ++value) {
        std::uint32_t crc = value;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
        table[value] = crc;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> CRC_TABLE = makeCrcTable();

// `crc` starts at all bits set; the CRC is the complement of the last result.
std::uint32_t crcUpdate(std::uint32_t crc, const unsigned char *bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        crc = CRC_TABLE[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

std::uint32_t bigEndian32(const unsigned char *bytes)
{
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

// The header CRC covers the header with its CRC field zeroed.
bool uImageHeaderRight(const unsigned char *header)
{
    unsigned char copy[UIMAGE_HEADER_SIZE];
    std::memcpy(copy, header, sizeof copy);
    std::memset(copy + HEADER_CRC_AT, 0, 4);
    return bigEndian32(header) == UIMAGE_MAGIC &&
           ~crcUpdate(0xFFFFFFFF, copy, sizeof copy) == bigEndian32(header + HEADER_CRC_AT);
}

// Whether the first bytes of an image name update_type's kind.
bool startsAsKind(long updateType, const unsigned char *head, std::size_t length)
{
    switch (updateType) {
    case 0:
        return length >= 2 && head[0] == 0x1F && head[1] == 0x8B;
    case 1:
        return length == UIMAGE_HEADER_SIZE && uImageHeaderRight(head);
    case 2:
        return length >= 4 && std::memcmp(head, SQUASHFS_MAGIC, 4) == 0;
    case 3:
        // A JFFS2 node begins with 0x1985 in the byte order of the unit that made it.
        return length >= 2 && ((head[0] == 0x19 && head[1] == 0x85) || (head[0] == 0x85 && head[1] == 0x19));
    default:
        return false;
    }
}

}  // namespace

unsigned long long flashPartitionSize(const std::string &partition)
{
    const std::string path = MTD_SYSFS_DIR + partition.substr(partition.rfind('/') + 1) + "/size";
    FILE *file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
        return 0;
    char text[32];
    const std::size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[length] = '\0';
    // Decimal bytes and a line feed, as the kernel writes it.
    char *end = nullptr;
    errno = 0;
    const unsigned long long size = std::strtoull(text, &end, 10);
    if (text[0] < '0' || text[0] > '9' || errno != 0 || (std::strcmp(end, "\n") != 0 && *end != '\0'))
        return 0;
    return size;
}

unsigned long long largestFlashPartition()
{
    unsigned long long largest = 0;
    for (const char *partition : FLASH_PARTITIONS)
        largest = std::max(largest, flashPartitionSize(partition));
    return largest;
}

unsigned long long firmwareSizeLimit(long updateType)
{
    const long partition = updateType == 0 ? WRITABLE_FS_TYPE : updateType;
    return partition >= 1 && partition <= 3 ? flashPartitionSize(FLASH_PARTITIONS[partition - 1]) : 0;
}

int checkFirmwareImage(long updateType, FILE *image, unsigned long long sizeLimit)
{
    unsigned char head[UIMAGE_HEADER_SIZE];
    const std::size_t headLength = std::fread(head, 1, sizeof head, image);
    if (headLength == 0 || headLength > sizeLimit || !startsAsKind(updateType, head, headLength))
        return -1;
    // The rest is read to its end for its size and, in a uImage, the CRC of the data.
    const unsigned long long dataSize = updateType == 1 ? bigEndian32(head + DATA_SIZE_AT) : 0;
    unsigned long long size = headLength;
    std::uint32_t crc = 0xFFFFFFFF;
    unsigned char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, image)) > 0;) {
        const unsigned long long dataRead = size - headLength;
        if (dataRead < dataSize) {
            const unsigned long long dataBytes = std::min<unsigned long long>(got, dataSize - dataRead);
            crc = crcUpdate(crc, chunk, static_cast<std::size_t>(dataBytes));
        }
        size += got;
        if (size > sizeLimit)
            return -1;
    }
    if (std::ferror(image))
        return -1;
    if (updateType == 1 && (size - headLength < dataSize || ~crc != bigEndian32(head + DATA_CRC_AT)))
        return -1;
    return 0;
}
