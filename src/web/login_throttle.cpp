#include "web/login_throttle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <ctime>

#include "config/resource_lock.h"

namespace {

// The address as a file name: what an IPv4 or IPv6 address can hold, no more.
std::string countFileName(const std::string &address)
{
    std::string name = "fail-";
    for (char c : address.substr(0, 64)) {
        const bool allowed =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == '.' || c == ':';
        if (!allowed)
            return "fail-unknown";
        name += c;
    }
    return name;
}

}  // namespace

LoginThrottle::LoginThrottle(const std::string &folder, const std::string &address, long baseDelayMs)
    : fd(open((folder + "/" + countFileName(address)).c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600)),
      baseDelayMs(baseDelayMs)
{
    if (fd < 0)
        return;
    lockExclusively(fd);
    char text[16];
    const ssize_t size = pread(fd, text, sizeof text, 0);
    struct stat status;
    if (size > 0 && fstat(fd, &status) == 0 && std::time(nullptr) - status.st_mtime <= FORGET_SECONDS)
        std::from_chars(text, text + size, failures);
}

LoginThrottle::~LoginThrottle()
{
    if (fd >= 0)
        close(fd);
}

void LoginThrottle::wait() const
{
    if (failures < FREE_FAILURES)
        return;
    long delay = baseDelayMs;
    for (int extra = failures - FREE_FAILURES; extra > 0 && delay < MAX_DELAY_MS; --extra)
        delay *= 2;
    if (delay > MAX_DELAY_MS)
        delay = MAX_DELAY_MS;
    timespec left = {delay / 1000, (delay % 1000) * 1000000};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {}
}

void LoginThrottle::record(bool accepted)
{
    if (fd < 0)
        return;
    failures = accepted ? 0 : failures + 1;
    const std::string text = std::to_string(failures);
    if (ftruncate(fd, 0) == 0) [[maybe_unused]]
        const ssize_t written = pwrite(fd, text.data(), text.size(), 0);
}
