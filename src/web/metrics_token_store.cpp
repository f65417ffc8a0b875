#include "web/metrics_token_store.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "web/session_store.h"

namespace {

const std::size_t MIN_TOKEN_SIZE = 16;
const std::size_t MAX_TOKEN_SIZE = 256;
const std::size_t RANDOM_TOKEN_BYTES = 32;

}  // namespace

MetricsTokenStore::MetricsTokenStore(std::string path) : path(std::move(path)) {}

std::string MetricsTokenStore::get() const
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return "";
    char text[MAX_TOKEN_SIZE + 2];
    const ssize_t size = read(fd, text, sizeof text);
    close(fd);
    std::string token(text, size > 0 ? static_cast<std::size_t>(size) : 0);
    if (!token.empty() && token.back() == '\n')
        token.pop_back();
    // A damaged file grants nothing.
    return isToken(token) ? token : "";
}

int MetricsTokenStore::set(const std::string &token)
{
    if (!isToken(token))
        return -1;
    // Written beside the file, synced, then renamed over it: a reader sees the
    // old token or the new one, also after a power cut.
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return -1;
    const std::string content = token + "\n";
    bool written = write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return -1;
    }
    return 0;
}

int MetricsTokenStore::renew(std::string &token)
{
    const std::string created = randomHex(RANDOM_TOKEN_BYTES);
    if (created.empty() || set(created) != 0)
        return -1;
    token = created;
    return 0;
}

int MetricsTokenStore::clear() { return unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : -1; }

bool MetricsTokenStore::isToken(const std::string &text)
{
    static const char allowed[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~+/=";
    return text.size() >= MIN_TOKEN_SIZE && text.size() <= MAX_TOKEN_SIZE &&
           text.find_first_not_of(allowed) == std::string::npos;
}
