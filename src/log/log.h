// Tracing and the log file.
//
// logTrace is the hook every module calls at its trace points; it discards
// its arguments so tracing costs nothing. LogFile appends time-stamped lines
// to the log file and keeps it at about 2 MiB by dropping its oldest part.
#ifndef ONU_LOG_LOG_H
#define ONU_LOG_LOG_H

#include <cstddef>
#include <fstream>
#include <string>

void logTrace(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Exercises the trace hook with a few formats; returns 1.
int logSelfTest();

class LogFile {
public:
    static constexpr std::size_t SIZE_LIMIT = 2097152;
    // "[YYYY-MM-DD hh:mm:ss]" plus NUL for four-digit years.
    static constexpr std::size_t TIMESTAMP_SIZE = 22;

    static LogFile *getInstance();

    // Opens `path` for appending, creating it; production uses LOG_PATH.
    explicit LogFile(const std::string &path);
    ~LogFile();

    // Appends the time stamp, `message` and a line feed; empty messages are
    // dropped. Cuts the oldest bytes first when the line would pass the limit.
    void writeLine(const std::string &message);
    // Writes the current local time stamp into `buffer` (TIMESTAMP_SIZE bytes);
    // a null buffer is ignored.
    static void formatTimestamp(char *buffer);

private:
    std::fstream stream;
    std::string path;
};

#endif
