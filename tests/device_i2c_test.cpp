#include <gtest/gtest.h>

#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "device/i2c_acess.h"

namespace {

// One SMBus transfer as the fake bus saw it.
struct Transfer {
    int readWrite;
    int command;
    unsigned size;
    int blockLength;
    bool operator==(const Transfer &o) const
    {
        return readWrite == o.readWrite && command == o.command && size == o.size &&
               blockLength == o.blockLength;
    }
};

// A transceiver behind the ioctl hook: 256 bytes of register memory with an
// auto-incrementing register pointer, answering at the addresses in `present`.
struct FakeBus {
    uint8_t memory[256] = {};
    uint8_t pointer = 0;
    int slave = -1;
    std::set<int> present = {0x51};
    std::vector<Transfer> transfers;
};
FakeBus *bus;

int fakeIoctl(int, unsigned long request, void *arg)
{
    if (request == I2C_SLAVE) {
        bus->slave = static_cast<int>(reinterpret_cast<intptr_t>(arg));
        return 0;
    }
    auto *args = static_cast<i2c_smbus_ioctl_data *>(arg);
    int blockLength = args->data ? args->data->block[0] : -1;
    bus->transfers.push_back({args->read_write, args->command, args->size, blockLength});
    if (request != I2C_SMBUS || !bus->present.count(bus->slave)) {
        errno = ENXIO;
        return -1;
    }
    if (args->size == I2C_SMBUS_BYTE && args->read_write == I2C_SMBUS_WRITE) {
        bus->pointer = args->command;
    } else if (args->size == I2C_SMBUS_BYTE) {
        args->data->byte = bus->memory[bus->pointer++];
    } else if (args->size == I2C_SMBUS_I2C_BLOCK_DATA || args->size == I2C_SMBUS_I2C_BLOCK_BROKEN) {
        int n = std::min<int>(args->data->block[0], I2C_SMBUS_BLOCK_MAX);
        for (int i = 0; i < n; ++i) {
            args->data->block[i + 1] = bus->memory[(args->command + i) % 256];
        }
        args->data->block[0] = static_cast<uint8_t>(n);
    }
    return 0;
}

const uint8_t DIAG_BYTES[10] = {0x25, 0x80, 0x80, 0xE8, 0x13, 0x88, 0x0F, 0xA0, 0x13, 0x88};
const Transfer POINTER_TO_96 = {I2C_SMBUS_WRITE, 96, I2C_SMBUS_BYTE, -1};
const Transfer BYTE_READ = {I2C_SMBUS_READ, 0, I2C_SMBUS_BYTE, 0};

class I2cAcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/i2c_bus_XXXXXX";
        close(mkstemp(name));
        busPath = name;
        bus = &fake;
        std::copy(DIAG_BYTES, DIAG_BYTES + 10, fake.memory + 96);
        I2cAcess::ioctlFunction = fakeIoctl;
    }
    void TearDown() override
    {
        I2cAcess::ioctlFunction = savedIoctl;
        unlink(busPath.c_str());
    }

    static std::vector<uint32_t> values(const OpticalDiagnostics &d)
    {
        return {d.temperature, d.supplyVoltage, d.txBiasCurrent, d.txOpticalPower, d.rxReceivedPower};
    }

    const I2cAcess::IoctlFunction savedIoctl = I2cAcess::ioctlFunction;
    FakeBus fake;
    std::string busPath;
};

const std::vector<uint32_t> KNOWN_VALUES = {0x2580, 0x80E8, 0x1388, 0x0FA0, 0x1388};
const std::vector<uint32_t> ZEROS = {0, 0, 0, 0, 0};

TEST_F(I2cAcessTest, BlockModeReadsTheDiagnosticsInOneTransfer)
{
    I2cAcess access(busPath);
    OpticalDiagnostics record;
    EXPECT_EQ(access.readDiagnostics(record), 0);
    EXPECT_EQ(values(record), KNOWN_VALUES);
    EXPECT_EQ(fake.slave, 0x51);
    std::vector<Transfer> expected = {POINTER_TO_96, {I2C_SMBUS_READ, 96, I2C_SMBUS_I2C_BLOCK_DATA, 10}};
    EXPECT_EQ(fake.transfers, expected);
}

TEST_F(I2cAcessTest, ByteModeTakesElevenTransfers)
{
    I2cAcess access(busPath);
    access.accessMode = I2C_ACCESS_BYTE;
    OpticalDiagnostics record;
    EXPECT_EQ(access.readDiagnostics(record), 0);
    EXPECT_EQ(values(record), KNOWN_VALUES);
    std::vector<Transfer> expected(11, BYTE_READ);
    expected[0] = POINTER_TO_96;
    EXPECT_EQ(fake.transfers, expected);
}

TEST_F(I2cAcessTest, FailuresGiveZeros)
{
    struct Case {
        const char *name;
        std::string path;
        std::set<int> present;
        int32_t mode;
    };
    const Case cases[] = {
        {"missing bus", "/tmp/i2c_missing_dir/i2c-0", {0x51}, I2C_ACCESS_BLOCK},
        {"silent transceiver", busPath, {}, I2C_ACCESS_BLOCK},
        {"silent transceiver, byte mode", busPath, {}, I2C_ACCESS_BYTE},
        {"other device only", busPath, {0x50}, I2C_ACCESS_BLOCK},
        {"unknown access mode", busPath, {0x51}, 3},
    };
    for (const Case &c : cases) {
        fake.present = c.present;
        I2cAcess access(c.path);
        access.accessMode = c.mode;
        OpticalDiagnostics record = {1, 2, 3, 4, 5};
        EXPECT_EQ(access.readDiagnostics(record), 0) << c.name;
        EXPECT_EQ(values(record), ZEROS) << c.name;
    }
}

TEST_F(I2cAcessTest, ReadRegistersSplitsLongRunsIntoBlocks)
{
    for (int i = 0; i < 256; ++i) {
        fake.memory[i] = static_cast<uint8_t>(i);
    }
    I2cAcess access(busPath);
    uint8_t buffer[64] = {};
    size_t count = 99;
    EXPECT_EQ(access.readRegisters(0x51, {{250, 40}, {7, 2}}, buffer, sizeof buffer, count), 0);
    ASSERT_EQ(count, 42u);
    EXPECT_EQ(buffer[0], 250);
    EXPECT_EQ(buffer[6], 0);  // the register wraps at 256
    EXPECT_EQ(buffer[39], 33);
    EXPECT_EQ(buffer[40], 7);
    std::vector<Transfer> expected = {
        {I2C_SMBUS_WRITE, 250, I2C_SMBUS_BYTE, -1}, {I2C_SMBUS_READ, 250, I2C_SMBUS_I2C_BLOCK_BROKEN, 32},
        {I2C_SMBUS_READ, 26, I2C_SMBUS_I2C_BLOCK_DATA, 8}, {I2C_SMBUS_WRITE, 7, I2C_SMBUS_BYTE, -1},
        {I2C_SMBUS_READ, 7, I2C_SMBUS_I2C_BLOCK_DATA, 2},
    };
    EXPECT_EQ(fake.transfers, expected);

    fake.transfers.clear();
    EXPECT_EQ(access.readRegisters(0x51, {{0, 32}}, buffer, sizeof buffer, count), 0);
    EXPECT_EQ(fake.transfers.back().size, static_cast<unsigned>(I2C_SMBUS_I2C_BLOCK_BROKEN));
}

TEST_F(I2cAcessTest, ReadRegistersStopsAtFullBufferOrBadAddress)
{
    I2cAcess access(busPath);
    access.accessMode = I2C_ACCESS_BYTE;
    uint8_t buffer[4] = {};
    size_t count = 0;
    EXPECT_EQ(access.readRegisters(0x51, {{96, 10}, {0, 5}}, buffer, sizeof buffer, count), 0);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(buffer[3], 0xE8);
    EXPECT_EQ(fake.transfers.size(), 5u);

    fake.transfers.clear();
    for (int address : {2, 120}) {
        EXPECT_EQ(access.readRegisters(address, {{96, 10}}, buffer, sizeof buffer, count), 0);
        EXPECT_EQ(count, 0u);
    }
    EXPECT_TRUE(fake.transfers.empty());
}

TEST_F(I2cAcessTest, ProbeKinds)
{
    fake.present = {0x51, 0x20};
    I2cAcess access(busPath);
    EXPECT_EQ(access.probe(0x51, 0x03, 0x77), 1);
    EXPECT_EQ(access.probe(0x20, 0x03, 0x77), 3);
    EXPECT_EQ(access.probe(0x21, 0x03, 0x77), -1);
    EXPECT_EQ(fake.transfers.back(), (Transfer{I2C_SMBUS_WRITE, 0, I2C_SMBUS_QUICK, -1}));
    EXPECT_EQ(access.probe(0x52, 0x03, 0x77), -1);  // byte read, then block read of one byte
    EXPECT_EQ(fake.transfers.back(), (Transfer{I2C_SMBUS_READ, 0, I2C_SMBUS_I2C_BLOCK_DATA, 1}));

    fake.transfers.clear();
    I2cAcess missing("/tmp/i2c_missing_dir/i2c-0");
    testing::internal::CaptureStderr();
    EXPECT_EQ(missing.probe(0x51, 0x52, 0x77), -1);
    EXPECT_EQ(missing.probe(0x78, 0x03, 0x77), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(fake.transfers.empty());

    testing::internal::CaptureStderr();
    EXPECT_EQ(missing.probe(0x51, 0x03, 0x77), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "In this SFU could not open I2C bus file /tmp/i2c_missing_dir/i2c-0, "
              "No such file or directory(2)\n");
}

TEST(I2cHelpersTest, ByteOrderDecodeAndDump)
{
    EXPECT_EQ(swapBytes16(static_cast<uint16_t>(0x1234)), 0x3412);
    EXPECT_EQ(swapBytes16(0x12, 0x34), 0x1234);
    EXPECT_EQ(swapBytes32(0x12345678u), 0x78563412u);

    OpticalDiagnostics record;
    I2cAcess::decodeDiagnostics(DIAG_BYTES, record);
    EXPECT_EQ(record.temperature, 0x2580u);
    EXPECT_EQ(record.rxReceivedPower, 0x1388u);

    testing::internal::CaptureStdout();
    I2cAcess::dumpHex(DIAG_BYTES, 3);
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " 25 80 80");
}

}  // namespace
