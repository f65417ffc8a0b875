// The clish bridge inside the simulated unit: the scripts clish is fed, the
// script and output files left behind, and the FEC answer read back.
#include <cstdlib>

#include "e2e_support.h"
#include "web/clish_bridge.h"

namespace {

const char CAPTURE_SCRIPT[] = "/tmp/TmpFile";

using ClishBridgeTest = SimulatedUnitTest;

// runClish is exercised by the commands; here the capturing runner and the
// operations that no command calls.
TEST_F(ClishBridgeTest, CaptureRunnerAndPortVlan)
{
    writeFile(CAPTURE_SCRIPT, "eoam\nstale command longer than any new script\n");
    runClishCapture(CLISH_MIDWARE, "set  a b ");
    EXPECT_FALSE(fileExists(CAPTURE_SCRIPT));
    runClishCapture(CLISH_EOAM, "show pon fec_mode");
    EXPECT_EQ(readFile(INFO_FILE_PATH), "FEC Disabled\n");
    // An unknown VLAN mode still runs clish, with an empty command.
    EXPECT_EQ(applyPortVlan({"1", "2", "100", "", ""}), 0);
    EXPECT_EQ(applyPortVlan({"1", "9", "100", "", ""}), -1);
    EXPECT_EQ(clishScripts(),
              (std::vector<std::string>{script("midware", "set  a b "), script("eoam", "show pon fec_mode"),
                                        script("eoam", "port vlan tag 1  100"), script("eoam", "")}));
}

// Each case puts a clish of its own first on PATH, which runs the case's
// shell text; the unit's clish answers by the FEC state it keeps. The output
// file is removed after it is read.
TEST_F(ClishBridgeTest, FecModeReadsEveryOutputLine)
{
    const std::tuple<const char *, int, const char *> cases[] = {
        {"exec /usr/sbin/clish", 0, "0"},
        {"echo enable >$ONU_SIM_STATE/clish/fec_mode; exec /usr/sbin/clish", 0, "1"},
        {"cat >/dev/null; printf 'head\\nmode: FEC Enabled (forced)\\nFEC Disabled\\n'", 0, "1"},
        {"cat >/dev/null; printf 'FEC Enabled'", 0, "1"},
        {"cat >/dev/null; printf 'fec enabled\\nFEC  Enabled\\n'", 0, "0"},
        // The output file vanished: nothing to read.
        {"rm -f /tmp/info_file", -1, "stale"},
    };
    const std::string savedPath = std::getenv("PATH");
    setenv("PATH", ("/tmp/fakebin:" + savedPath).c_str(), 1);
    runProgram("mkdir -p /tmp/fakebin");
    for (const auto &[body, result, fecMode] : cases) {
        writeFile("/tmp/fakebin/clish", std::string("#!/bin/sh\n") + body + "\n");
        runProgram("chmod +x /tmp/fakebin/clish");
        std::string read = "stale";
        EXPECT_EQ(getFecMode(read), result) << body;
        EXPECT_EQ(read, fecMode) << body;
        EXPECT_FALSE(fileExists(INFO_FILE_PATH)) << body;
    }
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(clishScripts(), std::vector<std::string>(2, script("eoam", "show pon fec_mode")));
}

}  // namespace
