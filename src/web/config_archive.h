// What a configuration import archive must be before it is unpacked: a tar
// archive holding the folder xml_config/ and, in it, regular files named as
// the unit's configuration files, each a document with that file's root
// element. The check reads the archive in-process; it runs nothing.
#ifndef ONU_WEB_CONFIG_ARCHIVE_H
#define ONU_WEB_CONFIG_ARCHIVE_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// No configuration file comes near this; a member beyond it is refused, so
// that what the check holds in memory stays small.
inline constexpr std::size_t MAX_CONFIG_FILE_SIZE = 65536;

struct ConfigArchiveFile {
    std::string name;   // file name inside xml_config/
    std::string bytes;  // its contents
};

// Reads the tar archive on `archive` to its end. 0 with `files` holding the
// configuration files in archive order when it holds nothing but the folder
// xml_config/ (its own entry optional) and at least one configuration file,
// each once, in ustar or GNU headers with plain permission bits, followed by
// the zero blocks that end an archive. -1 for anything else: links, devices,
// FIFOs, long-name or pax records, other paths, a duplicate, a file over
// MAX_CONFIG_FILE_SIZE or one that does not parse with its root element, a
// size beyond the end of the archive, a bad header checksum, junk.
int readConfigArchive(FILE *archive, std::vector<ConfigArchiveFile> &files);

#endif
