// I2cAcess against the simulated unit's transceiver model: a device's memory
// is i2c-0/0xNN.hex in the state folder, and log/i2c.log shows each transfer.
#include <cstdio>
#include <filesystem>

#include "device/i2c_acess.h"
#include "e2e_support.h"

namespace {

const char MEMORY[] = "i2c-0/0x51.hex";

std::string hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x", value);
    return text;
}

// The transfers logged since the last call, without the bytes they returned.
std::string transfers()
{
    std::string log = standInLog("i2c");
    for (size_t at; (at = log.find(" ->")) != std::string::npos;)
        log.erase(at, log.find('\n', at) - at);
    writeFile(statePath("log/i2c.log"), "");
    return log;
}

// One use of the bus: device `address` chosen, the transfers, the bus closed.
std::string session(unsigned address, const std::string &transfers)
{
    return "open /dev/i2c-0\nslave 0x" + hex(address) + "\n" + transfers + "close /dev/i2c-0\n";
}

std::string byteReads(unsigned reg, unsigned count)
{
    std::string reads;
    for (unsigned i = 0; i < count; ++i)
        reads += "read byte 0x51 reg 0x" + hex(reg + i) + "\n";
    return reads;
}

std::vector<uint32_t> diagnostics(int32_t accessMode)
{
    I2cAcess access(I2C_BUS_PATH);
    access.accessMode = accessMode;
    OpticalDiagnostics d = {1, 2, 3, 4, 5};
    EXPECT_EQ(access.readDiagnostics(d), 0);
    return {d.temperature, d.supplyVoltage, d.txBiasCurrent, d.txOpticalPower, d.rxReceivedPower};
}

using I2cBusTest = SimulatedUnitTest;

// Byte mode takes eleven transfers; any failure leaves zeros and the bus closed.
TEST_F(I2cBusTest, Diagnostics)
{
    writeFile(statePath(MEMORY), "60: 25 80 80 E8 13 88 0F A0 13 88\n");
    EXPECT_EQ(diagnostics(I2C_ACCESS_BYTE), (std::vector<uint32_t>{0x2580, 0x80E8, 0x1388, 0x0FA0, 0x1388}));
    EXPECT_EQ(transfers(), session(0x51, "write byte 0x51 reg 0x60\n" + byteReads(0x60, 10)));
    const std::vector<uint32_t> zeros(5, 0);
    EXPECT_EQ(diagnostics(3), zeros);  // no such access mode
    EXPECT_EQ(transfers(), session(0x51, "write byte 0x51 reg 0x60\n"));
    std::filesystem::remove(statePath(MEMORY));
    EXPECT_EQ(diagnostics(I2C_ACCESS_BLOCK), zeros);
    EXPECT_EQ(transfers(), session(0x51, "write size 1 0x51 reg 0x60\n"));
    std::filesystem::remove_all(statePath("i2c-0"));
    EXPECT_EQ(diagnostics(I2C_ACCESS_BLOCK), zeros);
    EXPECT_EQ(transfers(), "");
}

// Runs longer than one block are read 32 bytes at a time; the register wraps
// at 256; the buffer's size and the 7-bit address range are kept.
TEST_F(I2cBusTest, ReadRegisters)
{
    std::string memory = "00:";
    for (unsigned i = 0; i < 256; ++i)
        memory += " " + hex(i);
    writeFile(statePath(MEMORY), memory + "\n");
    I2cAcess access(I2C_BUS_PATH);
    uint8_t buffer[64] = {};
    size_t count = 99;
    EXPECT_EQ(access.readRegisters(0x51, {{250, 40}, {7, 2}}, buffer, sizeof buffer, count), 0);
    ASSERT_EQ(count, 42u);
    EXPECT_EQ((std::vector<int>{buffer[0], buffer[6], buffer[39], buffer[40], buffer[41]}),
              (std::vector<int>{250, 0, 33, 7, 8}));
    EXPECT_EQ(transfers(),
              session(0x51, "write byte 0x51 reg 0xfa\nread block 0x51 reg 0xfa len 32\nread block "
                            "0x51 reg 0x1a len 8\nwrite byte 0x51 reg 0x07\nread block 0x51 reg 0x07 len 2\n"));
    access.accessMode = I2C_ACCESS_BYTE;
    EXPECT_EQ(access.readRegisters(0x51, {{96, 10}, {0, 5}}, buffer, 4, count), 0);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(buffer[3], 99);
    EXPECT_EQ(transfers(), session(0x51, "write byte 0x51 reg 0x60\n" + byteReads(0x60, 4)));
    for (int address : {2, 120})
        EXPECT_EQ(access.readRegisters(address, {{96, 10}}, buffer, sizeof buffer, count) + count, 0u);
    EXPECT_EQ(transfers(), "");
}

// EEPROM addresses are probed with a byte read, then a one-byte block read;
// the others with a quick write. Outside the range nothing is tried.
TEST_F(I2cBusTest, ProbeKindsAndHexDump)
{
    writeFile(statePath("i2c-0/0x20.hex"), "");
    const std::tuple<int, int, int, std::string> cases[] = {
        // address, first, kind, transfers
        {0x51, 0x03, 1, "read byte 0x51 reg 0x00\n"},
        {0x20, 0x03, 3, "quick write 0x20\n"},
        {0x21, 0x03, -1, "write size 0 0x21 reg 0x00\n"},
        {0x52, 0x03, -1, "read size 1 0x52 reg 0x00\nread size 8 0x52 reg 0x00\n"},
        {0x51, 0x52, -1, ""},
        {0x78, 0x03, -1, ""},
    };
    for (const auto &[address, first, kind, log] : cases) {
        EXPECT_EQ(I2cAcess(I2C_BUS_PATH).probe(address, first, 0x77), kind) << address;
        EXPECT_EQ(transfers(), log.empty() ? "" : session(address, log)) << address;
    }
    std::filesystem::remove_all(statePath("i2c-0"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(I2cAcess(I2C_BUS_PATH).probe(0x51, 0x03, 0x77), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "In this SFU could not open I2C bus file /dev/i2c-0, No such file or directory(2)\n");

    testing::internal::CaptureStdout();
    I2cAcess::dumpHex(reinterpret_cast<const uint8_t *>("\x25\x80\x0f"), 3);
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " 25 80 0F");
}

}  // namespace
