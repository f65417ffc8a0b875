#include "log/log.h"

#include <ctime>
#include <memory>

#include "config/paths.h"

LogFile *LogFile::getInstance()
{
    static LogFile *instance = new LogFile(LOG_PATH);
    return instance;
}

LogFile::LogFile(const std::string &path) : path(path)
{
    stream.open(path, std::ios::in | std::ios::out | std::ios::app | std::ios::binary);
}

LogFile::~LogFile()
{
    stream.flush();
    stream.close();
}

void LogFile::formatTimestamp(char *buffer)
{
    if (buffer == nullptr)
        return;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (std::strftime(buffer, TIMESTAMP_SIZE, "[%Y-%m-%d %H:%M:%S]", &local) == 0)
        buffer[0] = '\0';
}

void LogFile::writeLine(const std::string &message)
{
    if (message.empty() || !stream.is_open())
        return;
    char stamp[TIMESTAMP_SIZE];
    formatTimestamp(stamp);
    const std::string line = std::string(stamp) + message;

    stream.seekg(0, std::ios::end);
    const std::streamoff size = stream.tellg();
    if (size < 0)
        return;
    const std::size_t total = static_cast<std::size_t>(size) + line.size();
    if (total > SIZE_LIMIT) {
        // Keep the newest bytes so that they and the new line fill the limit.
        std::unique_ptr<char[]> kept(new char[SIZE_LIMIT]);
        stream.seekg(static_cast<std::streamoff>(total - SIZE_LIMIT), std::ios::beg);
        stream.read(kept.get(), SIZE_LIMIT);
        const std::streamsize keptSize = stream.gcount();
        stream.close();
        stream.open(path, std::ios::in | std::ios::out | std::ios::trunc | std::ios::binary);
        stream.write(kept.get(), keptSize);
    }
    stream << line << '\n';
    stream.flush();
}
