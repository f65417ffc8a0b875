#include "device/epon_info_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <string_view>
#include <vector>

#include "config/paths.h"
#include "log/log.h"

namespace {

// The driver writes lines of the form "[tag] word word ... X": only lines
// starting with '[' count, and of those only the characters between the
// fifth and the last. Words are split at spaces (a tab belongs to the word);
// whether a word is in progress carries over from one used line to the next.
// With restartEachLine the field number starts again at the first field on
// every used line, so later lines append to the fields already gathered.
void gatherWords(const std::string &text, std::vector<std::string> &fields, bool restartEachLine)
{
    size_t field = 0;
    bool inWord = false;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (line.empty() || line[0] != '[')
            continue;
        if (restartEachLine)
            field = 0;
        for (size_t i = 5; i + 1 < line.size(); ++i) {
            if (line[i] == ' ') {
                if (inWord) {
                    ++field;
                    inWord = false;
                }
                continue;
            }
            if (field < fields.size())
                fields[field] += line[i];
            inWord = true;
        }
    }
}

// The whole file; -1 when it cannot be opened. The driver's files are a few
// hundred bytes: plain reads through a small buffer keep a request clear of a
// stdio buffer on the heap and of a deeper stack.
int readText(const std::string &path, std::string &text)
{
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return -1;
    char buffer[512];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    close(fd);
    return 0;
}

}  // namespace

const EponCounterField EPON_COUNTER_FIELDS[EPON_COUNTER_COUNT] = {
    {"rxFcsFrames", &EponCounters::rxFcsFrames},
    {"rxShortFrames", &EponCounters::rxShortFrames},
    {"rxLongFrames", &EponCounters::rxLongFrames},
    {"rxDataFrames", &EponCounters::rxDataFrames},
    {"rxCtrlFrames", &EponCounters::rxCtrlFrames},
    {"rxReportFrames", &EponCounters::rxReportFrames},
    {"rxGateFrames", &EponCounters::rxGateFrames},
    {"txRegisterRequestFrames", &EponCounters::txRegisterRequestFrames},
    {"txRegisterAckFrames", &EponCounters::txRegisterAckFrames},
    {"txReportFrames", &EponCounters::txReportFrames},
    {"txDataFrames", &EponCounters::txDataFrames},
    {"txByteAllow", &EponCounters::txByteAllow},
    {"swTxTotalFrames", &EponCounters::swTxTotalFrames},
    {"swTxErorFrames", &EponCounters::swTxErorFrames},
    {"swRxTotalFrames", &EponCounters::swRxTotalFrames},
    {"swRxErrorFrames", &EponCounters::swRxErrorFrames},
    {"swRegAckFrames", &EponCounters::swRegAckFrames},
    {"swRegNackFrames", &EponCounters::swRegNackFrames},
    {"swRegDeRegFrames", &EponCounters::swRegDeRegFrames},
    {"swRegReRegFrams", &EponCounters::swRegReRegFrams},
};

EponInfoReader *EponInfoReader::getInstance()
{
    static EponInfoReader *instance = new EponInfoReader(EPON_INFO_PATH, EPON_COUNTERS_PATH);
    return instance;
}

EponInfoReader::EponInfoReader(const std::string &infoPath, const std::string &countersPath)
    : infoPath(infoPath), countersPath(countersPath)
{
}

int EponInfoReader::readEponInfo(EponInfo &record)
{
    std::string text;
    if (readText(infoPath, text) != 0) {
        logTrace("open file infoEpon  fail !");
        return -1;
    }
    std::vector<std::string> words(6);
    gatherWords(text, words, true);
    record.state = words[0];
    record.etherType = words[1];
    record.unicastMacAddr = words[2];
    record.field3 = words[3];
    record.txLLId1 = words[4];
    record.txLLId2 = words[5];
    return 0;
}

int EponInfoReader::readAllCounters(EponCounters &record)
{
    std::string text;
    if (readText(countersPath, text) != 0) {
        logTrace("open file allCnt  fail !");
        return -1;
    }
    std::vector<std::string> words(EPON_COUNTER_COUNT);
    gatherWords(text, words, false);
    for (size_t i = 0; i < EPON_COUNTER_COUNT; ++i)
        record.*EPON_COUNTER_FIELDS[i].value = words[i];
    return 0;
}
