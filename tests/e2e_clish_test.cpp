// The clish bridge's capturing runner inside the simulated unit (the commands
// exercise runClish): the script clish is fed, the script and output files
// removed, and the FEC answer read back.

#include "e2e_support.h"
#include "web/clish_bridge.h"

const char CAPTURE_SCRIPT[] = "/tmp/TmpFile";

using ClishBridgeTest = SimulatedUnitTest;

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
        writeFile(CAPTURE_SCRIPT, "eoam\nstale command longer than any new script\n");
        writeFile("/tmp/fakebin/clish", std::string("#!/bin/sh\n") + body + "\n");
        runProgram("chmod +x /tmp/fakebin/clish");
        std::string read = "stale";
        EXPECT_EQ(getFecMode(read), result) << body;
        EXPECT_EQ(read, fecMode) << body;
        EXPECT_FALSE(fileExists(INFO_FILE_PATH) || fileExists(CAPTURE_SCRIPT)) << body;
    }
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(clishScripts(), std::vector<std::string>(2, script("eoam", "show pon fec_mode")));
}
