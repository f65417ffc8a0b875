#include "config/save_document.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Writes all of `text` to `fd`; false on any failure.
static bool writeAll(int fd, const char *text, size_t length)
{
    while (length > 0) {
        ssize_t written = write(fd, text, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        text += written;
        length -= static_cast<size_t>(written);
    }
    return true;
}

// Writes `text` beside `target` and renames it over the target. The target is
// resolved first so that a configuration file reached through a symbolic link
// is replaced where it lives, and the link stays. The new file keeps the old
// file's permissions. The text is synced before the rename, so the file the
// name points to is whole even after a power cut.
static int replaceFile(const std::string &path, const char *text)
{
    char resolved[PATH_MAX];
    std::string target = realpath(path.c_str(), resolved) ? resolved : path;
    std::string temporary = target + ".XXXXXX";
    int fd = mkstemp(&temporary[0]);
    if (fd < 0)
        return -1;
    struct stat old;
    mode_t mode = stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    bool written = fchmod(fd, mode) == 0 && writeAll(fd, text, strlen(text)) && fsync(fd) == 0;
    if (close(fd) != 0)
        written = false;
    if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return -1;
    }
    return 0;
}

int saveDocument(const std::string &path, XmlNode *root)
{
    char *text = xmlToText(root);
    int result = text && *text ? replaceFile(path, text) : -1;
    free(text);
    return result;
}
