// Reads the EPON driver's sysfs information and frame counters. Every value
// stays the text the driver wrote; nothing is converted.
#ifndef ONU_DEVICE_EPON_INFO_READER_H
#define ONU_DEVICE_EPON_INFO_READER_H

#include <cstddef>
#include <string>

// The words of the infoEpon file, in file order.
struct EponInfo {
    std::string state;  // "Active" when the ONU is registered
    std::string etherType;
    std::string unicastMacAddr;
    std::string field3;
    std::string txLLId1;  // the LLID shown on the ONU information page
    std::string txLLId2;
};

// The words of the allCnt file, in file order.
struct EponCounters {
    std::string rxFcsFrames;
    std::string rxShortFrames;
    std::string rxLongFrames;
    std::string rxDataFrames;
    std::string rxCtrlFrames;
    std::string rxReportFrames;
    std::string rxGateFrames;
    std::string txRegisterRequestFrames;
    std::string txRegisterAckFrames;
    std::string txReportFrames;
    std::string txDataFrames;
    std::string txByteAllow;
    std::string swTxTotalFrames;
    std::string swTxErorFrames;
    std::string swRxTotalFrames;
    std::string swRxErrorFrames;
    std::string swRegAckFrames;
    std::string swRegNackFrames;
    std::string swRegDeRegFrames;
    std::string swRegReRegFrams;
};

// The counters in file order with their names, which are also the reply keys
// of the counters page and the labels of the console listing.
struct EponCounterField {
    const char *name;
    std::string EponCounters::*value;
};
const size_t EPON_COUNTER_COUNT = 20;
extern const EponCounterField EPON_COUNTER_FIELDS[EPON_COUNTER_COUNT];

class EponInfoReader {
public:
    // The reader of the driver's files (EPON_INFO_PATH, EPON_COUNTERS_PATH).
    static EponInfoReader *getInstance();

    // Reads the given files instead; getInstance() and unit tests use it.
    EponInfoReader(const std::string &infoPath, const std::string &countersPath);

    // Both return 0, or -1 when the file cannot be opened (record untouched).
    int readEponInfo(EponInfo &record);
    int readAllCounters(EponCounters &record);

private:
    std::string infoPath;
    std::string countersPath;
};

#endif
