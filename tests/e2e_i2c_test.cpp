// I2cAcess against the simulated unit's transceiver model: a device's memory
// is i2c-0/0xNN.hex in the state folder, and log/i2c.log shows each transfer.
// The diagnostics read is pinned by the optical module command.
#include <cstdio>

#include "device/i2c_acess.h"
#include "e2e_support.h"

// The transfers logged since the last call, without the bytes they returned;
// a use of the bus opens it, chooses the device and closes it again.
static std::string transfers(unsigned address)
{
    std::string log = standInLog("i2c");
    for (size_t at; (at = log.find(" ->")) != std::string::npos;)
        log.erase(at, log.find('\n', at) - at);
    writeFile(statePath("log/i2c.log"), "");
    char open[40];
    std::snprintf(open, sizeof open, "open /dev/i2c-0\nslave 0x%02x\n", address);
    const std::string session = open, close = "close /dev/i2c-0\n";
    if (log.size() >= session.size() + close.size() && log.rfind(session, 0) == 0 &&
        log.compare(log.size() - close.size(), close.size(), close) == 0)
        return log.substr(session.size(), log.size() - session.size() - close.size());
    return log;
}

// Reads `items` of device `address` into a buffer of `size` bytes: the bytes
// stored (register i holds the byte i) and the transfers.
static void expectRead(int address, int32_t mode, const std::vector<I2cReadItem> &items, size_t size, size_t count,
                       const std::string &log)
{
    SCOPED_TRACE(std::to_string(address) + " " + std::to_string(mode));
    I2cAcess access(I2C_BUS_PATH);
    access.accessMode = mode;
    std::vector<uint8_t> buffer(size), expected;
    size_t stored = 99;
    EXPECT_EQ(access.readRegisters(address, items, buffer.data(), size, stored), 0);
    EXPECT_EQ(transfers(address), log);
    for (const I2cReadItem &item : items)
        for (uint32_t i = 0; i < item.length; ++i)
            expected.push_back(static_cast<uint8_t>(item.reg + i));
    ASSERT_EQ(stored, count);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + count, expected.begin()));
}

using I2cBusTest = SimulatedUnitTest;

// Runs longer than one block are read 32 bytes at a time; the register wraps
// at 256; a full buffer, an unknown access mode, a device that does not
// answer and an address outside the 7-bit range stop the read.
TEST_F(I2cBusTest, ReadRegistersStops)
{
    std::string memory = "00:";
    for (unsigned i = 0; i < 256; ++i)
        memory += std::string(" ") + "0123456789abcdef"[i / 16] + "0123456789abcdef"[i % 16];
    writeFile(statePath("i2c-0/0x51.hex"), memory + "\n");
    expectRead(0x51, I2C_ACCESS_BLOCK, {{250, 40}, {7, 2}}, 64, 42,
               "write byte 0x51 reg 0xfa\nread block 0x51 reg 0xfa len 32\nread block 0x51 reg 0x1a len 8\n"
               "write byte 0x51 reg 0x07\nread block 0x51 reg 0x07 len 2\n");
    expectRead(0x51, I2C_ACCESS_BYTE, {{96, 10}, {0, 5}}, 4, 4,
               "write byte 0x51 reg 0x60\nread byte 0x51 reg 0x60\nread byte 0x51 reg 0x61\n"
               "read byte 0x51 reg 0x62\nread byte 0x51 reg 0x63\n");
    expectRead(0x51, 3, {{96, 10}}, 64, 0, "write byte 0x51 reg 0x60\n");
    expectRead(0x52, I2C_ACCESS_BLOCK, {{96, 10}}, 64, 0, "write size 1 0x52 reg 0x60\n");
    expectRead(2, I2C_ACCESS_BLOCK, {{96, 10}}, 64, 0, "");
    expectRead(120, I2C_ACCESS_BLOCK, {{96, 10}}, 64, 0, "");
}

// EEPROM addresses are probed with a byte read, then a one-byte block read;
// the others with a quick write. Outside the range nothing is tried.
TEST_F(I2cBusTest, ProbeKinds)
{
    writeFile(statePath("i2c-0/0x20.hex"), "");
    const std::tuple<const char *, int, int, int, std::string, std::string> cases[] = {
        // bus, address, first, kind, transfers, standard error
        {I2C_BUS_PATH, 0x51, 0x03, 1, "read byte 0x51 reg 0x00\n", ""},
        {I2C_BUS_PATH, 0x20, 0x03, 3, "quick write 0x20\n", ""},
        {I2C_BUS_PATH, 0x21, 0x03, -1, "write size 0 0x21 reg 0x00\n", ""},
        {I2C_BUS_PATH, 0x52, 0x03, -1, "read size 1 0x52 reg 0x00\nread size 8 0x52 reg 0x00\n", ""},
        {I2C_BUS_PATH, 0x51, 0x52, -1, "", ""},
        {I2C_BUS_PATH, 0x78, 0x03, -1, "", ""},
        {"/dev/i2c-9", 0x51, 0x03, -1, "",
         "In this SFU could not open I2C bus file /dev/i2c-9, No such file or directory(2)\n"},
    };
    for (const auto &[bus, address, first, kind, log, errors] : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(I2cAcess(bus).probe(address, first, 0x77), kind) << address;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), errors);
        EXPECT_EQ(transfers(address), log) << address;
    }
}
