// The optical transceiver's diagnostics (SFF-8472, device 0x51, bytes
// 96-105) read through Linux i2c-dev.
//
// Result convention: readDiagnostics and readRegisters always return 0 and
// report failure through their output (zeros, a short count); probe returns
// 1, 2 or 3, or -1; setSlaveAddress 0 or -1. Inside, every bus step returns
// 0 (or a descriptor) on success and -errno on failure.
#ifndef ONU_DEVICE_I2C_ACESS_H
#define ONU_DEVICE_I2C_ACESS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Raw 16-bit diagnostic values in host order, zero-extended.
struct OpticalDiagnostics {
    uint32_t temperature;      // 1/256 degC, two's complement pattern
    uint32_t supplyVoltage;    // 100 uV
    uint32_t txBiasCurrent;    // 2 uA
    uint32_t txOpticalPower;   // 0.1 uW
    uint32_t rxReceivedPower;  // 0.1 uW
};

// One run of registers to read: first register and number of bytes.
struct I2cReadItem {
    uint8_t reg;
    uint32_t length;
};

// Device address and register run of the diagnostics area.
const int TRANSCEIVER_DIAG_ADDRESS = 0x51;
const I2cReadItem TRANSCEIVER_DIAG_ITEM = {96, 10};

// Block reads (the default) or one byte per transfer.
const int32_t I2C_ACCESS_BYTE = 1;
const int32_t I2C_ACCESS_BLOCK = 2;

class I2cAcess {
public:
    explicit I2cAcess(const std::string &busPath);
    virtual ~I2cAcess();

    // Fills the record; all fields are 0 when anything fails. Returns 0.
    int readDiagnostics(OpticalDiagnostics &record);
    // Reads the items' registers of device `address` one after the other into
    // buffer; count is the number of bytes stored. Returns 0.
    int readRegisters(int address, const std::vector<I2cReadItem> &items, uint8_t *buffer, size_t bufferSize,
                      size_t &count);
    // 1 (byte read), 2 (block read) or 3 (quick write) for the access the
    // device answered; -1 when it did not or lies outside [first, last].
    int probe(int address, int first, int last);

    static int setSlaveAddress(int fd, int address);
    static void sleepMs(unsigned ms);
    // Fills a record from the ten bytes of the diagnostics area.
    static void decodeDiagnostics(const uint8_t *bytes, OpticalDiagnostics &record);
    // Prints the bytes as " %02X" each on standard output.
    static void dumpHex(const uint8_t *bytes, size_t n);

    std::string busPath;
    int32_t accessMode;
};

// Byte-order helpers: the transceiver stores its values most significant
// byte first.
uint16_t swapBytes16(uint16_t value);
// The 16-bit value whose high byte is `high` and low byte is `low`.
uint16_t swapBytes16(uint8_t high, uint8_t low);
uint32_t swapBytes32(uint32_t value);

#endif
