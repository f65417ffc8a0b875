#include "config/resource_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "config/paths.h"

// "/var/vesk/x.xml" locks "<LOCK_DIR>/_var_vesk_x.xml": one flat folder, no
// name of one resource the prefix of another's.
static std::string lockPath(const std::string &resource)
{
    std::string name = resource;
    for (char &c : name)
        if (c == '/')
            c = '_';
    return std::string(LOCK_DIR) + "/" + name;
}

ResourceLock::ResourceLock(const std::string &resource) : fd(-1)
{
    // Root only: nobody else may hold the unit's resources hostage.
    if (mkdir(LOCK_DIR, 0700) != 0 && errno != EEXIST)
        return;
    fd = open(lockPath(resource).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    if (!lockExclusively(fd)) {
        close(fd);
        fd = -1;
    }
}

bool lockExclusively(int fd)
{
    int result;
    do
        result = flock(fd, LOCK_EX);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

ResourceLock::~ResourceLock()
{
    if (fd >= 0)
        close(fd);
}
