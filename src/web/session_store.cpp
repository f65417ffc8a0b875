#include "web/session_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <ctime>
#include <vector>

#include "config/resource_lock.h"

namespace {

constexpr std::size_t ID_BYTES = 16;

constexpr long long NANOSECONDS = 1000000000;

// A session file: "<account> <csrf token> <creation time in ns>\n". Times
// are kept in nanoseconds so that sessions made within one second still have
// an order (the oldest is the one dropped).
struct SessionFile {
    std::string account, csrfToken;
    long long created = 0;
    long long lastUse = 0;  // the file's modification time
};

long long nanoseconds(const timespec &time) { return time.tv_sec * NANOSECONDS + time.tv_nsec; }

long long now()
{
    timespec time;
    clock_gettime(CLOCK_REALTIME, &time);
    return nanoseconds(time);
}

bool readSession(int fd, SessionFile &file)
{
    char text[128];
    const ssize_t size = read(fd, text, sizeof text - 1);
    struct stat status;
    if (size <= 0 || fstat(fd, &status) != 0)
        return false;
    const std::string content(text, static_cast<std::size_t>(size));
    const std::size_t first = content.find(' '), second = content.find(' ', first + 1);
    if (first == std::string::npos || second == std::string::npos)
        return false;
    file.account = content.substr(0, first);
    file.csrfToken = content.substr(first + 1, second - first - 1);
    const char *digits = content.c_str() + second + 1;
    if (std::from_chars(digits, content.c_str() + content.size(), file.created).ec != std::errc())
        return false;
    file.lastUse = nanoseconds(status.st_mtim);
    return true;
}

// A clock that went back counts as expiry too: better a new login than a
// session that outlives its limits.
bool expired(const SessionFile &file, long long now)
{
    return now < file.created || now < file.lastUse ||
           now - file.created > SessionStore::LIFETIME_SECONDS * NANOSECONDS ||
           now - file.lastUse > SessionStore::IDLE_SECONDS * NANOSECONDS;
}

bool readSessionAt(const std::string &path, SessionFile &file)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool read = readSession(fd, file);
    close(fd);
    return read;
}

}  // namespace

std::string cookieValue(const std::string &header, const std::string &name)
{
    const std::string prefix = name + "=";
    for (std::size_t start = 0; start < header.size();) {
        std::size_t end = header.find(';', start);
        if (end == std::string::npos)
            end = header.size();
        const std::size_t begin = header.find_first_not_of(' ', start);
        if (begin < end && header.compare(begin, prefix.size(), prefix) == 0)
            return header.substr(begin + prefix.size(), end - begin - prefix.size());
        start = end + 1;
    }
    return "";
}

bool isSessionId(const std::string &id)
{
    return id.size() == 2 * ID_BYTES &&
           std::all_of(
               id.begin(), id.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::string randomHex(std::size_t count)
{
    std::vector<unsigned char> bytes(count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t size = getrandom(bytes.data() + got, count - got, 0);
        if (size < 0 && errno == EINTR)
            continue;
        if (size <= 0)
            return "";
        got += static_cast<std::size_t>(size);
    }
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0f];
    }
    return text;
}

SessionStore::SessionStore(std::string folder) : folder(std::move(folder)) {}

// The folder must be ours and closed to everyone else; anything else there
// (a link, another owner's folder) is not trusted with sessions.
bool SessionStore::ready()
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat status;
    return lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
           (status.st_mode & 077) == 0;
}

std::string SessionStore::pathOf(const std::string &id) const { return folder + "/" + id; }

int SessionStore::create(const std::string &account, Session &session)
{
    if (!ready())
        return -1;
    ResourceLock lock(folder);
    if (!lock.held())
        return -1;
    const long long time = now();
    std::vector<std::pair<SessionFile, std::string>> live;
    if (DIR *dir = opendir(folder.c_str())) {
        while (const dirent *entry = readdir(dir)) {
            const std::string id = entry->d_name;
            SessionFile file;
            if (!isSessionId(id))
                continue;
            if (readSessionAt(pathOf(id), file) && !expired(file, time))
                live.emplace_back(file, id);
            else
                unlink(pathOf(id).c_str());
        }
        closedir(dir);
    }
    std::sort(live.begin(), live.end(), [](const auto &a, const auto &b) {
        return a.first.created != b.first.created ? a.first.created < b.first.created
                                                  : a.first.lastUse < b.first.lastUse;
    });
    for (std::size_t i = 0; i + MAX_SESSIONS <= live.size(); ++i)
        unlink(pathOf(live[i].second).c_str());

    session.id = randomHex(ID_BYTES);
    session.csrfToken = randomHex(ID_BYTES);
    session.account = account;
    if (session.id.empty() || session.csrfToken.empty())
        return -1;
    const std::string content = account + " " + session.csrfToken + " " + std::to_string(time) + "\n";
    const std::string temporary = folder + "/.new-" + session.id;
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    const bool written = write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    if (close(fd) != 0 || !written || rename(temporary.c_str(), pathOf(session.id).c_str()) != 0) {
        unlink(temporary.c_str());
        return -1;
    }
    return 0;
}

int SessionStore::find(const std::string &id, bool extend, Session &session)
{
    if (!isSessionId(id))
        return -1;
    const int fd = open(pathOf(id).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    SessionFile file;
    const bool live = readSession(fd, file) && !expired(file, now());
    if (live && extend)
        futimens(fd, nullptr);
    close(fd);
    if (!live) {
        unlink(pathOf(id).c_str());
        return -1;
    }
    session = {id, file.account, file.csrfToken};
    return 0;
}

void SessionStore::remove(const std::string &id)
{
    if (isSessionId(id))
        unlink(pathOf(id).c_str());
}

void SessionStore::removeAccount(const std::string &account, const std::string &keptId)
{
    ResourceLock lock(folder);
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = readdir(dir)) {
        const std::string id = entry->d_name;
        SessionFile file;
        if (isSessionId(id) && id != keptId && readSessionAt(pathOf(id), file) && file.account == account)
            unlink(pathOf(id).c_str());
    }
    closedir(dir);
}
