// Console routines over the device readers.
#include <string>

#include "device/i2c_acess.h"
#include "diag/diag_routines.h"
#include "log/console_line.h"

int showTransceiver()
{
    const std::string busPath = I2C_BUS_PATH;
    I2cAcess transceiver(busPath);
    OpticalDiagnostics diagnostics;
    transceiver.readDiagnostics(diagnostics);
    printLine("temperature = ", std::to_string(diagnostics.temperature));
    printLine("supplyVoltage = ", std::to_string(diagnostics.supplyVoltage));
    printLine("txBiasCurrent = ", std::to_string(diagnostics.txBiasCurrent));
    printLine("txOpticalPower = ", std::to_string(diagnostics.txOpticalPower));
    printLine("rxReceivedPower = ", std::to_string(diagnostics.rxReceivedPower));
    return 0;
}

int showEponInfo()
{
    EponInfoReader &reader = *EponInfoReader::getInstance();
    EponInfo info;
    if (reader.readEponInfo(info) == -1) {
        printLine("get onu info error ");
        return -1;
    }
    printLine("state = ", info.state);
    printLine("etherTypee = ", info.etherType);
    printLine("unicastMacAddr = ", info.unicastMacAddr);
    printLine("txLLId1 = ", info.txLLId1);
    printLine("txLLId2 = ", info.txLLId2);
    return 0;
}

int showEponCounters()
{
    EponInfoReader &reader = *EponInfoReader::getInstance();
    EponCounters counters;
    if (reader.readAllCounters(counters) == -1) {
        printLine("get all cnt info error ");
        return -1;
    }
    for (const EponCounterField &counter : EPON_COUNTER_FIELDS)
        printLine(counter.name + std::string(" = "), counters.*counter.value);
    return 0;
}

int showEponAll()
{
    showEponInfo();
    showEponCounters();
    return 0;
}
