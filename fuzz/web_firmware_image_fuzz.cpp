// Arbitrary bytes as a firmware upload to the image check. The first byte
// picks the update_type (0..3), the next two the size limit in 16-byte units,
// the rest is the image. An image the check passes is within the limit, not
// empty, and begins with its kind's magic.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "web/firmware_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const long updateType = data[0] % 4;
    const unsigned long long limit = (data[1] << 8 | data[2]) * 16ULL;
    const uint8_t *image = data + 3;
    const size_t length = size - 3;
    FILE *stream = fmemopen(const_cast<uint8_t *>(image), length ? length : 1, "rb");
    if (length == 0)
        std::fgetc(stream);  // an empty stream: at its end
    const int result = checkFirmwareImage(updateType, stream, limit);
    std::fclose(stream);
    if (result != 0)
        return 0;
    static const char *const MAGICS[] = {"\x1f\x8b", "\x27\x05\x19\x56", "hsqs", nullptr};
    const char *magic = MAGICS[updateType];
    const bool kindMatches =
        magic ? length >= std::strlen(magic) && std::memcmp(image, magic, std::strlen(magic)) == 0
              : length >= 2 && ((image[0] == 0x19 && image[1] == 0x85) || (image[0] == 0x85 && image[1] == 0x19));
    if (length == 0 || length > limit || !kindMatches || (updateType == 1 && length < 64))
        std::abort();
    return 0;
}
