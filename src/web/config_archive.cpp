#include "web/config_archive.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "web/request_fields.h"
#include "xml/xml.h"

namespace {

constexpr std::size_t BLOCK_SIZE = 512;
constexpr char FOLDER[] = "xml_config/";

struct ConfigFileKind {
    const char *name;
    const char *root;
};

// The unit's configuration files and the root element of each.
constexpr ConfigFileKind CONFIG_FILE_KINDS[] = {
    {"eoam_xml_cfg_file.xml", "eoam_config"}, {"gpon_xml_cfg_file.xml", "gpon_config"},
    {"omci_xml_cfg_file.xml", "omci_config"}, {"onu_profile_xml_cfg_file.xml", "onu_profile"},
    {"tpm_xml_cfg_file.xml", "tpm_config"},   {"vesk_xml_cfg_file.xml", "vesk_config"},
};

// Header fields used: offset and length.
struct Field {
    std::size_t at, length;
};
constexpr Field NAME{0, 100};
constexpr Field MODE{100, 8};
constexpr Field SIZE{124, 12};
constexpr Field CHECKSUM{148, 8};
constexpr Field PREFIX{345, 155};
constexpr std::size_t TYPE_AT = 156;
// Member types read: a regular file (also as old archives mark it) and a folder.
constexpr char REGULAR_TYPE = '0';
constexpr char OLD_REGULAR_TYPE = '\0';
constexpr char FOLDER_TYPE = '5';
constexpr std::size_t MAGIC_AT = 257;
// Magic and version of the two header formats read.
constexpr char POSIX_MAGIC[] = "ustar\0"
                               "00";
constexpr char GNU_MAGIC[] = "ustar  ";  // with its NUL: 8 bytes
constexpr std::size_t MAGIC_LENGTH = 8;

using Block = unsigned char[BLOCK_SIZE];

// Octal digits, optionally after blanks and before NULs or blanks. Other
// encodings (base-256 sizes) are refused.
bool readOctal(const Block header, Field field, unsigned long long &value)
{
    std::size_t i = field.at;
    const std::size_t end = field.at + field.length;
    while (i < end && header[i] == ' ')
        ++i;
    const std::size_t digits = i;
    value = 0;
    for (; i < end && header[i] >= '0' && header[i] <= '7'; ++i)
        value = value * 8 + (header[i] - '0');
    return i > digits && std::all_of(header + i, header + end, [](unsigned char c) { return c == ' ' || c == '\0'; });
}

// The checksum is the sum of the header's bytes, its own field counted as blanks.
bool checksumRight(const Block header)
{
    unsigned long long stored = 0, sum = 0;
    for (std::size_t i = 0; i < BLOCK_SIZE; ++i)
        sum += i >= CHECKSUM.at && i < CHECKSUM.at + CHECKSUM.length ? ' ' : header[i];
    return readOctal(header, CHECKSUM, stored) && stored == sum;
}

// A ustar header without a name prefix, or a GNU one (which has none).
bool formatKnown(const Block header)
{
    if (std::memcmp(header + MAGIC_AT, GNU_MAGIC, MAGIC_LENGTH) == 0)
        return true;
    return std::memcmp(header + MAGIC_AT, POSIX_MAGIC, MAGIC_LENGTH) == 0 && header[PREFIX.at] == '\0';
}

bool allZero(const unsigned char *bytes, std::size_t count)
{
    return std::all_of(
        bytes, bytes + count, [](unsigned char c) { return c == 0; });
}

// The kind of the archive path "xml_config/<name>", none for any other path.
const ConfigFileKind *fileKind(const std::string &path)
{
    for (const ConfigFileKind &kind : CONFIG_FILE_KINDS)
        if (path == std::string(FOLDER) + kind.name)
            return &kind;
    return nullptr;
}

// Every attribute value and every text of an element without children is a
// value the commands may store, send back or hand on: it obeys the rules of a
// request value. Between elements there are only blanks. Walked without
// recursion, as a hostile file may nest deeply.
bool valuesObeyRules(const XmlNode *root)
{
    for (const XmlNode *node = root; node;) {
        for (char **attr = node->attr; attr && *attr; attr += 2)
            if (!valueObeys(attr[1], ValueRule::TEXT))
                return false;
        const std::string text = node->txt ? node->txt : "";
        if (node->child ? text.find_first_not_of(" \t\r\n") != std::string::npos : !valueObeys(text, ValueRule::TEXT))
            return false;
        if (node->child) {
            node = node->child;
            continue;
        }
        while (node != root && !node->ordered)
            node = node->parent;
        node = node == root ? nullptr : node->ordered;
    }
    return true;
}

// Parses a copy, as the parser writes into its buffer. A NUL would end the
// text the parser sees before the file's end.
bool isDocument(const std::string &bytes, const char *root)
{
    if (bytes.find('\0') != std::string::npos)
        return false;
    std::vector<char> buffer(bytes.begin(), bytes.end());
    const std::unique_ptr<XmlNode, decltype(&xmlFree)> document(xmlParseString(buffer.data(), buffer.size()), xmlFree);
    return *xmlError(document.get()) == '\0' && document->name && std::strcmp(document->name, root) == 0 &&
           valuesObeyRules(document.get());
}

// Reads a member's contents and the padding to the next block.
bool readMember(FILE *archive, ConfigArchiveFile &file, std::size_t size)
{
    file.bytes.resize(size);
    Block padding;
    const std::size_t paddingSize = (BLOCK_SIZE - size % BLOCK_SIZE) % BLOCK_SIZE;
    return std::fread(&file.bytes[0], 1, size, archive) == size &&
           std::fread(padding, 1, paddingSize, archive) == paddingSize;
}

}  // namespace

int readConfigArchive(FILE *archive, std::vector<ConfigArchiveFile> &files)
{
    files.clear();
    bool folderSeen = false;
    Block header;
    while (true) {
        if (std::fread(header, 1, BLOCK_SIZE, archive) != BLOCK_SIZE)
            return -1;
        if (allZero(header, BLOCK_SIZE))
            break;
        unsigned long long mode = 0, size = 0;
        if (!checksumRight(header) || !formatKnown(header) || !readOctal(header, MODE, mode) || mode > 0777 ||
            !readOctal(header, SIZE, size))
            return -1;
        const char *nameField = reinterpret_cast<const char *>(header + NAME.at);
        const std::string path(nameField, strnlen(nameField, NAME.length));
        const char type = static_cast<char>(header[TYPE_AT]);
        if (type == FOLDER_TYPE) {
            if (folderSeen || size != 0 || (path != FOLDER && path + "/" != FOLDER))
                return -1;
            folderSeen = true;
            continue;
        }
        const ConfigFileKind *kind = fileKind(path);
        const auto sameName = [&](const ConfigArchiveFile &file) { return file.name == kind->name; };
        if ((type != REGULAR_TYPE && type != OLD_REGULAR_TYPE) || kind == nullptr || size > MAX_CONFIG_FILE_SIZE ||
            std::any_of(files.begin(), files.end(), sameName))
            return -1;
        ConfigArchiveFile file{kind->name, ""};
        if (!readMember(archive, file, static_cast<std::size_t>(size)) || !isDocument(file.bytes, kind->root))
            return -1;
        files.push_back(std::move(file));
    }
    // An archive ends in zero blocks; nothing may follow them.
    for (std::size_t got; (got = std::fread(header, 1, BLOCK_SIZE, archive)) > 0;)
        if (!allZero(header, got))
            return -1;
    return std::ferror(archive) || files.empty() ? -1 : 0;
}
