// What a firmware upload must be before any of it reaches the flash: of the
// kind its target holds and no larger than the target. The check reads the
// image only; it runs nothing.
#ifndef ONU_WEB_FIRMWARE_IMAGE_H
#define ONU_WEB_FIRMWARE_IMAGE_H

#include <cstdio>
#include <string>

// Flash partitions by update_type 1, 2, 3: kernel, root file system,
// writable file system.
inline constexpr const char *FLASH_PARTITIONS[] = {"/dev/mtd1", "/dev/mtd2", "/dev/mtd3"};

// The size in bytes the kernel reports for a partition ("/dev/mtdN"), 0 when
// it cannot be read.
unsigned long long flashPartitionSize(const std::string &partition);
// The largest of FLASH_PARTITIONS, 0 when none can be read: no upload larger
// than this can be installed.
unsigned long long largestFlashPartition();
// The largest image update_type may install: its partition's size; for the
// update archive (0), the writable file system's, which it is unpacked into.
// 0 for an unknown type or an unreadable size.
unsigned long long firmwareSizeLimit(long updateType);

// 0 when `image`, read from its current position to its end, is 1 to
// `sizeLimit` bytes long and of update_type's kind: 0 a gzip file, 1 a uImage
// whose header and data CRCs are right and whose data lies within the file,
// 2 a squashfs image, 3 a JFFS2 image (either byte order). -1 otherwise.
int checkFirmwareImage(long updateType, FILE *image, unsigned long long sizeLimit);

#endif
