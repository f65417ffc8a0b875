// Three units of scripts/fleet scraped every second by a real Prometheus, asked through its HTTP API: all up,
// each with the receive power its memory holds, a raised alarm flag in the next scrapes. Bounded by --seconds.

#include <chrono>
#include <functional>
#include <thread>

#include "e2e_support.h"

// Asks four times a second, for some `seconds`.
static bool within(int seconds, const std::function<bool()> &reached)
{
    for (int tries = 4 * seconds; tries > 0 && !reached(); --tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    return reached();
}

class PrometheusFleetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv("ONU_SIM_EMULATOR") && *std::getenv("ONU_SIM_EMULATOR"))
            GTEST_SKIP() << "a build for another processor is not served here";
        work = runProgram("mktemp -d | tr -d '\\n'").output;
        // Units on three ports from `port`, Prometheus on the fourth; no ephemeral ports.
        port = 20000 + getpid() % 3000 * 4;
        pid = runProgram("setsid " ONU_SOURCE_DIR "/scripts/fleet --build " ONU_BUILD_DIR " --interval 1s" +
                         (" --seconds 90 --port " + std::to_string(port)) + " --prometheus-port " +
                         std::to_string(port + 3) + " --work " + work + "/fleet 3 >" + work + "/log 2>&1 & printf $!")
                  .output;
    }
    void TearDown() override
    {
        runProgram("kill -TERM -" + pid + "; while kill -0 " + pid + " 2>/dev/null; do sleep 0.1; done");
        runProgram("rm -rf " + work);
    }

    std::string instance(int unit) const { return "127.0.0.1:" + std::to_string(port + unit - 1); }
    // "instance value" lines of an instant query, sorted.
    std::string query(const std::string &expression) const
    {
        return runProgram("curl -s --max-time 5 http://127.0.0.1:" + std::to_string(port + 3) + "/api/v1/query" +
                          " --data-urlencode 'query=" + expression + "' | grep -o '\"instance\":\"[^\"]*\"[^]]*]'" +
                          " | sed 's/\"instance\":\"\\([^\"]*\\)\".*,\"\\([^\"]*\\)\"]$/\\1 \\2/' | sort")
            .output;
    }

    std::string work, pid;
    int port = 0;
};

TEST_F(PrometheusFleetTest, ScrapesThreeUnitsAndSeesARaisedAlarm)
{
    std::string up, powers;  // receive power unit x 25.6 uW
    for (int unit = 1; unit <= 3; ++unit) {
        up += instance(unit) + " 1\n";
        powers += instance(unit) + " 0.0000" + std::to_string(256 * unit) + "\n";
    }
    ASSERT_TRUE(within(60, [&] { return query("up") == up; })) << readFile(work + "/log");
    const std::string memoryOfUnit = ONU_SOURCE_DIR "/sim/transceiver-set --state " + work + "/fleet/unit-";
    for (int unit = 1; unit <= 3; ++unit)
        runProgram(memoryOfUnit + std::to_string(unit) + " 68 0" + std::to_string(unit) + " 00");
    EXPECT_TRUE(within(10, [&] { return query("onu_optics_rx_power_watts") == powers; }))
        << query("onu_optics_rx_power_watts");

    const std::string alarms = "onu_optics_flag{level=\"alarm\"} == 1";
    EXPECT_EQ(query(alarms), "");
    runProgram(memoryOfUnit + "2 71 40");
    EXPECT_TRUE(within(10, [&] { return query(alarms) == instance(2) + " 1\n"; })) << query(alarms);
}
