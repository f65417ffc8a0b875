// Serialises one resource (a configuration file, a clish script, the upload
// file) between the unit's processes: an exclusive flock(2) on a lock file per
// resource in the unit's RAM file system, held for the object's lifetime.
// The kernel drops a lock with its holder, so a request that dies leaves none
// behind.
#ifndef ONU_CONFIG_RESOURCE_LOCK_H
#define ONU_CONFIG_RESOURCE_LOCK_H

#include <string>

// Takes an exclusive flock(2) on `fd`, waiting for it through signals; false
// when it cannot be had.
bool lockExclusively(int fd);

class ResourceLock {
public:
    // Waits until the lock on `resource` (a path, or any name) is free.
    explicit ResourceLock(const std::string &resource);
    ~ResourceLock();
    ResourceLock(const ResourceLock &) = delete;
    ResourceLock &operator=(const ResourceLock &) = delete;

    // False when the lock file could not be opened or locked; the resource
    // is then not protected and the caller should refuse to change it.
    bool held() const { return fd >= 0; }

private:
    int fd;
};

#endif
