// Arbitrary bytes as a configuration import archive to the archive check. An
// archive it passes holds at least one file, each once, none larger than the
// member limit, each with one of the configuration files' names.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "web/config_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FILE *stream = fmemopen(const_cast<uint8_t *>(data), size ? size : 1, "rb");
    if (size == 0)
        std::fgetc(stream);  // an empty stream: at its end
    std::vector<ConfigArchiveFile> files;
    const int result = readConfigArchive(stream, files);
    std::fclose(stream);
    if (result != 0)
        return 0;
    static const std::set<std::string> NAMES = {"eoam_xml_cfg_file.xml", "gpon_xml_cfg_file.xml",
                                                "omci_xml_cfg_file.xml", "onu_profile_xml_cfg_file.xml",
                                                "tpm_xml_cfg_file.xml",  "vesk_xml_cfg_file.xml"};
    std::set<std::string> seen;
    for (const ConfigArchiveFile &file : files)
        if (!NAMES.count(file.name) || !seen.insert(file.name).second || file.bytes.size() > MAX_CONFIG_FILE_SIZE)
            std::abort();
    if (files.empty())
        std::abort();
    return 0;
}
