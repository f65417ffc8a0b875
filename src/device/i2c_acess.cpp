#include "device/i2c_acess.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// Largest transfer of one SMBus block read.
const uint32_t BLOCK_MAX = I2C_SMBUS_BLOCK_MAX;
// Buffer of readDiagnostics; the diagnostics need only its first ten bytes.
const size_t DIAG_BUFFER_SIZE = 100;

// The bus opened read-write for one operation and closed on every way out of
// it; `fd` is the descriptor, or -errno when the open failed.
class BusDescriptor {
public:
    explicit BusDescriptor(const std::string &path) : fd(open(path.c_str(), O_RDWR))
    {
        if (fd < 0)
            fd = -errno;
    }
    ~BusDescriptor()
    {
        if (fd >= 0)
            close(fd);
    }
    BusDescriptor(const BusDescriptor &) = delete;
    BusDescriptor &operator=(const BusDescriptor &) = delete;

    int fd;
};

// Every i2c-dev request goes through here: 0, or -errno when it failed.
int busRequest(int fd, unsigned long request, void *argument) { return ioctl(fd, request, argument) < 0 ? -errno : 0; }

int selectDevice(int fd, int address)
{
    return busRequest(fd, I2C_SLAVE, reinterpret_cast<void *>(static_cast<intptr_t>(address)));
}

// The one general transfer: every SMBus access goes through here.
int smbusTransfer(int fd, uint8_t readWrite, uint8_t command, uint32_t size, i2c_smbus_data *data)
{
    i2c_smbus_ioctl_data args = {readWrite, command, size, data};
    return busRequest(fd, I2C_SMBUS, &args);
}

// Sets the device's register pointer: a byte write carrying only the command.
int setRegisterPointer(int fd, uint8_t reg) { return smbusTransfer(fd, I2C_SMBUS_WRITE, reg, I2C_SMBUS_BYTE, nullptr); }

// Reads the byte at the register pointer, which the device then advances.
int readByte(int fd, uint8_t &byte)
{
    i2c_smbus_data data = {};
    if (int result = smbusTransfer(fd, I2C_SMBUS_READ, 0, I2C_SMBUS_BYTE, &data); result < 0)
        return result;
    byte = data.byte;
    return 0;
}

// Reads up to `length` bytes from `reg`; data.block[0] holds the count read.
int readBlock(int fd, uint8_t reg, uint32_t length, uint32_t size, i2c_smbus_data &data)
{
    data = {};
    data.block[0] = static_cast<uint8_t>(length);
    return smbusTransfer(fd, I2C_SMBUS_READ, reg, size, &data);
}

// Appends what a block read returned; false when the buffer is now full.
bool appendBlock(const i2c_smbus_data &data, uint8_t *buffer, size_t bufferSize, size_t &count)
{
    size_t n = std::min<size_t>({data.block[0], BLOCK_MAX, bufferSize - count});
    std::memcpy(buffer + count, data.block + 1, n);
    count += n;
    return count < bufferSize;
}

// Reads one register run after the register pointer has been set: -EIO when
// the device makes no progress, -EINVAL for an unknown mode. Stops early,
// with 0, when the buffer is full.
int readRun(int fd, int32_t accessMode, const I2cReadItem &item, uint8_t *buffer, size_t bufferSize, size_t &count)
{
    if (accessMode == I2C_ACCESS_BYTE) {
        for (uint32_t i = 0; i < item.length && count < bufferSize; ++i) {
            I2cAcess::sleepMs(1);
            if (int result = readByte(fd, buffer[count]); result < 0)
                return result;
            ++count;
        }
        return 0;
    }
    if (accessMode != I2C_ACCESS_BLOCK)
        return -EINVAL;
    i2c_smbus_data data;
    uint8_t reg = item.reg;
    uint32_t remaining = item.length;
    while (remaining > BLOCK_MAX) {
        if (int result = readBlock(fd, reg, BLOCK_MAX, I2C_SMBUS_I2C_BLOCK_BROKEN, data); result < 0)
            return result;
        uint32_t got = std::min<uint32_t>(data.block[0], BLOCK_MAX);
        if (got == 0)
            return -EIO;
        if (!appendBlock(data, buffer, bufferSize, count))
            return 0;
        reg = static_cast<uint8_t>(reg + got);
        remaining -= got;
    }
    if (remaining == 0)
        return 0;
    uint32_t size = remaining == BLOCK_MAX ? I2C_SMBUS_I2C_BLOCK_BROKEN : I2C_SMBUS_I2C_BLOCK_DATA;
    if (int result = readBlock(fd, reg, remaining, size, data); result < 0)
        return result;
    appendBlock(data, buffer, bufferSize, count);
    return 0;
}

// Sets the pointer to the item's register, then reads the run.
int readItem(int fd, int32_t accessMode, const I2cReadItem &item, uint8_t *buffer, size_t bufferSize, size_t &count)
{
    if (int result = setRegisterPointer(fd, item.reg); result < 0)
        return result;
    return readRun(fd, accessMode, item, buffer, bufferSize, count);
}

}  // namespace

I2cAcess::I2cAcess(const std::string &busPath) : busPath(busPath), accessMode(I2C_ACCESS_BLOCK) {}

I2cAcess::~I2cAcess() = default;

int I2cAcess::readDiagnostics(OpticalDiagnostics &record)
{
    record = {};
    const BusDescriptor bus(busPath);
    if (bus.fd < 0 || selectDevice(bus.fd, TRANSCEIVER_DIAG_ADDRESS) < 0)
        return 0;
    sleepMs(1);
    uint8_t buffer[DIAG_BUFFER_SIZE] = {};
    size_t count = 0;
    if (readItem(bus.fd, accessMode, TRANSCEIVER_DIAG_ITEM, buffer, sizeof buffer, count) == 0)
        decodeDiagnostics(buffer, record);
    return 0;
}

int I2cAcess::readRegisters(int address, const std::vector<I2cReadItem> &items, uint8_t *buffer, size_t bufferSize,
                            size_t &count)
{
    count = 0;
    if (address < 0x03 || address > 0x77)
        return 0;
    const BusDescriptor bus(busPath);
    if (bus.fd < 0 || selectDevice(bus.fd, address) < 0)
        return 0;
    for (const I2cReadItem &item : items) {
        if (count >= bufferSize)
            break;
        sleepMs(1);
        if (readItem(bus.fd, accessMode, item, buffer, bufferSize, count) < 0)
            break;
    }
    return 0;
}

int I2cAcess::probe(int address, int first, int last)
{
    if (address < first || address > last)
        return -1;
    const BusDescriptor bus(busPath);
    if (bus.fd < 0) {
        fprintf(stderr, "In this SFU could not open I2C bus file %s, %s(%d)\n", busPath.c_str(), strerror(-bus.fd),
                -bus.fd);
        return -1;
    }
    if (selectDevice(bus.fd, address) < 0)
        return -1;
    // Byte reads for the ranges where a quick write can upset a device
    // (write-protect switches and EEPROMs); a quick write elsewhere.
    if (!((address >= 0x30 && address <= 0x37) || (address >= 0x50 && address <= 0x5F)))
        return smbusTransfer(bus.fd, I2C_SMBUS_WRITE, 0, I2C_SMBUS_QUICK, nullptr) == 0 ? 3 : -1;
    i2c_smbus_data data;
    if (smbusTransfer(bus.fd, I2C_SMBUS_READ, 0, I2C_SMBUS_BYTE, &data) == 0)
        return 1;
    return readBlock(bus.fd, 0, 1, I2C_SMBUS_I2C_BLOCK_DATA, data) == 0 ? 2 : -1;
}

int I2cAcess::setSlaveAddress(int fd, int address) { return selectDevice(fd, address) < 0 ? -1 : 0; }

void I2cAcess::sleepMs(unsigned ms)
{
    timespec pause = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

void I2cAcess::decodeDiagnostics(const uint8_t *bytes, OpticalDiagnostics &record)
{
    record.temperature = swapBytes16(bytes[0], bytes[1]);
    record.supplyVoltage = swapBytes16(bytes[2], bytes[3]);
    record.txBiasCurrent = swapBytes16(bytes[4], bytes[5]);
    record.txOpticalPower = swapBytes16(bytes[6], bytes[7]);
    record.rxReceivedPower = swapBytes16(bytes[8], bytes[9]);
}

void I2cAcess::dumpHex(const uint8_t *bytes, size_t n)
{
    std::string text;
    char hex[4];
    for (size_t i = 0; i < n; ++i) {
        snprintf(hex, sizeof hex, " %02X", bytes[i]);
        text += hex;
    }
    printf("%s", text.c_str());
}

uint16_t swapBytes16(uint16_t value) { return static_cast<uint16_t>((value >> 8) | (value << 8)); }

uint16_t swapBytes16(uint8_t high, uint8_t low) { return static_cast<uint16_t>((high << 8) | low); }

uint32_t swapBytes32(uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0x0000FF00u) | ((value << 8) & 0x00FF0000u) | (value << 24);
}
