// I2C access against a fake bus behind the ioctl hook; the block read of the
// diagnostics through the simulated unit's transceiver, and its failures
// without a bus or an answer, are pinned end to end.
#include <gtest/gtest.h>

#include <linux/i2c-dev.h>
#include <linux/i2c.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "config_test_files.h"
#include "device/i2c_acess.h"

namespace {

// One SMBus transfer as the fake bus saw it: direction, command, size, block length.
using Transfer = std::tuple<int, int, unsigned, int>;

// A transceiver: 256 bytes of register memory with an auto-incrementing
// register pointer, answering at the addresses in `present`.
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
    const int blockLength = args->data ? args->data->block[0] : -1;
    bus->transfers.emplace_back(args->read_write, args->command, args->size, blockLength);
    if (request != I2C_SMBUS || !bus->present.count(bus->slave)) {
        errno = ENXIO;
        return -1;
    }
    if (args->size == I2C_SMBUS_BYTE && args->read_write == I2C_SMBUS_WRITE) {
        bus->pointer = args->command;
    } else if (args->size == I2C_SMBUS_BYTE) {
        args->data->byte = bus->memory[bus->pointer++];
    } else if (args->size == I2C_SMBUS_I2C_BLOCK_DATA || args->size == I2C_SMBUS_I2C_BLOCK_BROKEN) {
        const int n = std::min<int>(args->data->block[0], I2C_SMBUS_BLOCK_MAX);
        for (int i = 0; i < n; ++i)
            args->data->block[i + 1] = bus->memory[(args->command + i) % 256];
        args->data->block[0] = static_cast<uint8_t>(n);
    }
    return 0;
}

const uint8_t DIAG_BYTES[10] = {0x25, 0x80, 0x80, 0xE8, 0x13, 0x88, 0x0F, 0xA0, 0x13, 0x88};
const Transfer POINTER_TO_96 = {I2C_SMBUS_WRITE, 96, I2C_SMBUS_BYTE, -1};
const Transfer BYTE_READ = {I2C_SMBUS_READ, 0, I2C_SMBUS_BYTE, 0};
const char MISSING_BUS[] = "/tmp/i2c_missing_dir/i2c-0";

std::vector<uint32_t> values(const OpticalDiagnostics &d)
{
    return {d.temperature, d.supplyVoltage, d.txBiasCurrent, d.txOpticalPower, d.rxReceivedPower};
}

class I2cAcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bus = &fake;
        std::copy(DIAG_BYTES, DIAG_BYTES + 10, fake.memory + 96);
        I2cAcess::ioctlFunction = fakeIoctl;
    }
    void TearDown() override { I2cAcess::ioctlFunction = savedIoctl; }

    const I2cAcess::IoctlFunction savedIoctl = I2cAcess::ioctlFunction;
    FakeBus fake;
    TempFolder folder;
    const std::string busPath = folder.write("i2c-0", "");
};

TEST_F(I2cAcessTest, ReadsTheDiagnosticsByteByByte)
{
    std::vector<Transfer> byByte(11, BYTE_READ);
    byByte[0] = POINTER_TO_96;
    I2cAcess access(busPath);
    access.accessMode = I2C_ACCESS_BYTE;
    OpticalDiagnostics record;
    EXPECT_EQ(access.readDiagnostics(record), 0);
    EXPECT_EQ(values(record), (std::vector<uint32_t>{0x2580, 0x80E8, 0x1388, 0x0FA0, 0x1388}));
    EXPECT_EQ(fake.slave, 0x51);
    EXPECT_EQ(fake.transfers, byByte);
}

TEST_F(I2cAcessTest, FailuresGiveZeros)
{
    const std::tuple<const char *, std::set<int>, int32_t> cases[] = {
        {"silent transceiver, byte mode", {}, I2C_ACCESS_BYTE},
        {"other device only", {0x50}, I2C_ACCESS_BLOCK},
        {"unknown access mode", {0x51}, 3},
    };
    for (const auto &[name, present, mode] : cases) {
        fake.present = present;
        I2cAcess access(busPath);
        access.accessMode = mode;
        OpticalDiagnostics record = {1, 2, 3, 4, 5};
        EXPECT_EQ(access.readDiagnostics(record), 0) << name;
        EXPECT_EQ(values(record), (std::vector<uint32_t>(5, 0))) << name;
    }
}

// Runs longer than one block are read 32 bytes at a time with the old block
// request; the buffer's size and the 7-bit address range are kept.
TEST_F(I2cAcessTest, ReadRegisters)
{
    for (int i = 0; i < 256; ++i)
        fake.memory[i] = static_cast<uint8_t>(i);
    I2cAcess access(busPath);
    uint8_t buffer[64] = {};
    size_t count = 99;
    EXPECT_EQ(access.readRegisters(0x51, {{250, 40}, {7, 2}}, buffer, sizeof buffer, count), 0);
    ASSERT_EQ(count, 42u);
    EXPECT_EQ((std::vector<int>{buffer[0], buffer[6], buffer[39], buffer[40]}),
              (std::vector<int>{250, 0, 33, 7}));  // the register wraps at 256
    EXPECT_EQ(fake.transfers, (std::vector<Transfer>{{I2C_SMBUS_WRITE, 250, I2C_SMBUS_BYTE, -1},
                                                     {I2C_SMBUS_READ, 250, I2C_SMBUS_I2C_BLOCK_BROKEN, 32},
                                                     {I2C_SMBUS_READ, 26, I2C_SMBUS_I2C_BLOCK_DATA, 8},
                                                     {I2C_SMBUS_WRITE, 7, I2C_SMBUS_BYTE, -1},
                                                     {I2C_SMBUS_READ, 7, I2C_SMBUS_I2C_BLOCK_DATA, 2}}));
    EXPECT_EQ(access.readRegisters(0x51, {{0, 32}}, buffer, sizeof buffer, count), 0);
    EXPECT_EQ(std::get<2>(fake.transfers.back()), static_cast<unsigned>(I2C_SMBUS_I2C_BLOCK_BROKEN));

    fake.transfers.clear();
    access.accessMode = I2C_ACCESS_BYTE;
    EXPECT_EQ(access.readRegisters(0x51, {{96, 10}, {0, 5}}, buffer, 4, count), 0);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(buffer[3], 99);
    EXPECT_EQ(fake.transfers.size(), 5u);
    fake.transfers.clear();
    for (int address : {2, 120}) {
        EXPECT_EQ(access.readRegisters(address, {{96, 10}}, buffer, sizeof buffer, count), 0);
        EXPECT_EQ(count, 0u);
    }
    EXPECT_TRUE(fake.transfers.empty());
}

TEST_F(I2cAcessTest, ProbeKindsAndHexDump)
{
    fake.present = {0x51, 0x20};
    I2cAcess access(busPath);
    EXPECT_EQ(access.probe(0x51, 0x03, 0x77), 1);
    EXPECT_EQ(access.probe(0x20, 0x03, 0x77), 3);
    EXPECT_EQ(access.probe(0x21, 0x03, 0x77), -1);
    EXPECT_EQ(fake.transfers.back(), (Transfer{I2C_SMBUS_WRITE, 0, I2C_SMBUS_QUICK, -1}));
    EXPECT_EQ(access.probe(0x52, 0x03, 0x77), -1);  // byte read, then block read of one byte
    EXPECT_EQ(fake.transfers.back(), (Transfer{I2C_SMBUS_READ, 0, I2C_SMBUS_I2C_BLOCK_DATA, 1}));

    // Outside the range nothing is tried; without a bus the open fails aloud.
    fake.transfers.clear();
    I2cAcess missing(MISSING_BUS);
    testing::internal::CaptureStderr();
    EXPECT_EQ(missing.probe(0x51, 0x52, 0x77), -1);
    EXPECT_EQ(missing.probe(0x78, 0x03, 0x77), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    EXPECT_EQ(missing.probe(0x51, 0x03, 0x77), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              std::string("In this SFU could not open I2C bus file ") + MISSING_BUS +
                  ", No such file or directory(2)\n");
    EXPECT_TRUE(fake.transfers.empty());

    testing::internal::CaptureStdout();
    I2cAcess::dumpHex(DIAG_BYTES, 3);
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " 25 80 80");
}

}  // namespace
