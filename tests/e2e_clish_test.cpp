// The clish bridge inside the simulated unit: the scripts clish is fed, the
// script and output files left behind, and the FEC answer read back.
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "web/clish_bridge.h"

namespace {

const char RUN_SCRIPT[] = "/tmp/TempFile";
const char CAPTURE_SCRIPT[] = "/tmp/TmpFile";
const char INFO_FILE[] = "/tmp/info_file";

using ClishBridgeTest = SimulatedUnitTest;

// Puts a clish of the test's own first on PATH for the life of the object;
// `body` is its shell text after reading the script.
class FakeClish {
public:
    explicit FakeClish(const std::string &body) : savedPath(std::getenv("PATH"))
    {
        runProgram("mkdir -p /tmp/fakebin");
        writeFile("/tmp/fakebin/clish", "#!/bin/sh\ncat >/dev/null\n" + body);
        runProgram("chmod +x /tmp/fakebin/clish");
        setenv("PATH", ("/tmp/fakebin:" + savedPath).c_str(), 1);
    }
    ~FakeClish() { setenv("PATH", savedPath.c_str(), 1); }

private:
    std::string savedPath;
};

TEST_F(ClishBridgeTest, RunnersReplaceTheScriptFeedItAndRemoveIt)
{
    struct Case {
        void (*runner)(const std::string &, const std::string &);
        const char *context;
        const char *command;
        const char *script;
    } cases[] = {
        {runClish, CLISH_EOAM, "port mac_aging_time 0 UNI_0 300",
         "eoam\nport mac_aging_time 0 UNI_0 300\n\nquit\n"},
        {runClish, CLISH_TPM, "", "tpm\n\n\nquit\n"},
        {runClishCapture, CLISH_MIDWARE, "set  a b ", "midware\nset  a b \n\nquit\n"},
    };
    std::vector<std::string> expected;
    for (const Case &c : cases) {
        for (const char *script : {RUN_SCRIPT, CAPTURE_SCRIPT})
            writeFile(script, "eoam\nstale command longer than any new script\n");
        c.runner(c.context, c.command);
        expected.push_back(c.script);
        EXPECT_FALSE(fileExists(c.runner == runClish ? RUN_SCRIPT : CAPTURE_SCRIPT)) << c.script;
    }
    EXPECT_EQ(clishScripts(), expected);

    runClishCapture(CLISH_EOAM, "show pon fec_mode");
    EXPECT_EQ(readFile(INFO_FILE), "FEC Disabled\n");
}

TEST_F(ClishBridgeTest, PortVlanRunsClishAlsoForUnknownModes)
{
    EXPECT_EQ(applyPortVlan({"1", "2", "100", "", ""}), 0);
    EXPECT_EQ(applyPortVlan({"1", "9", "100", "", ""}), -1);
    EXPECT_EQ(clishScripts(),
              (std::vector<std::string>{"eoam\nport vlan tag 1  100\n\nquit\n", "eoam\n\n\nquit\n"}));
}

TEST_F(ClishBridgeTest, FecModeFollowsTheUnitsState)
{
    for (const char *state : {"enable", "disable"}) {
        writeFile(statePath("clish/fec_mode"), std::string(state) + "\n");
        std::string fecMode;
        EXPECT_EQ(getFecMode(fecMode), 0);
        EXPECT_EQ(fecMode, std::string(state) == "enable" ? "1" : "0");
        EXPECT_FALSE(fileExists(INFO_FILE));
    }
    EXPECT_EQ(clishScripts(), std::vector<std::string>(2, "eoam\nshow pon fec_mode\n\nquit\n"));
}

TEST_F(ClishBridgeTest, FecModeReadsEveryOutputLine)
{
    struct Case {
        const char *clishBody;
        int result;
        const char *fecMode;
    } cases[] = {
        {"printf 'head\\nmode: FEC Enabled (forced)\\nFEC Disabled\\n'", 0, "1"},
        {"printf 'FEC Enabled'", 0, "1"},
        {"true", 0, "0"},
        {"printf 'fec enabled\\nFEC  Enabled\\n'", 0, "0"},
        // The output file vanished: nothing to read.
        {"rm -f /tmp/info_file", -1, "stale"},
    };
    for (const Case &c : cases) {
        FakeClish clish(std::string(c.clishBody) + "\n");
        std::string fecMode = "stale";
        EXPECT_EQ(getFecMode(fecMode), c.result) << c.clishBody;
        EXPECT_EQ(fecMode, c.fecMode) << c.clishBody;
    }
}

}  // namespace
