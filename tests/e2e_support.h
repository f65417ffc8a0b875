// Helpers for the end-to-end tests, which run the unit's programs inside the
// simulated unit (sim/onu-sim run ctest --test-dir build).
//
// Every helper first checks that it runs inside the unit: ONU_SIM_STATE names
// the state folder and /var, /tmp, /dev and /sys/devices/platform are that
// folder's, /etc and /usr/sbin its overlays. Anywhere else it prints why and
// ends the test program, so a test never reaches the host's device paths.
//
// Derive cases from SimulatedUnitTest: the unit is reset to its image before
// each case (configuration, /tmp, sysfs texts, flash partitions, boot
// environment, transceiver memory, stand-in logs).
//
// The stand-ins record what they were asked in $ONU_SIM_STATE/log/NAME.log:
//   clish        each script verbatim, then the line CLISH_SCRIPT_END
//   fw_setenv    one line per call: its arguments joined by single blanks
//   fw_printenv  the same
//   reboot       "reboot" per call
//   flash        "flash_unlock DEV" / "flash_erase DEV START COUNT" per call
//   export_xml   "export /var/vesk/website/www/xml_config.tar" per call
//   upgrade      "upgrade /tmp/jffs2_fs.tar.gz N bytes md5 SUM" per call
//   i2c          one line per bus open, device choice, transfer and close
// The sysfs command nodes (tpm/cfg_mngt/vesk_cmd, tpm/cfg_traffic/
// rate_limit_if_set, neta/switch/reg_w) keep every text written to them.
// More in sim/README.md.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What a program wrote on standard output, and how it ended: its exit
// status, or 128 + the signal number when a signal ended it.
struct RunResult {
    std::string output;
    int status;
};

// The line that follows every script in the clish log.
extern const char CLISH_SCRIPT_END[];

bool insideUnit();

// Brings the unit back to its image.
void resetUnit();

class SimulatedUnitTest : public ::testing::Test {
protected:
    void SetUp() override { resetUnit(); }
};

// onu-cgi of the build under test, as a web server runs it: a GET with the
// query text, a form POST with the body, or a multipart POST carrying one
// file (the command in the query text, as the web pages send uploads).
RunResult runCgi(const std::string &query);
RunResult runCgiPost(const std::string &body);
RunResult runCgiUpload(const std::string &query, const std::string &fileName,
                       const std::string &bytes);

// A shell command line (e.g. programPath("onu-init") + " 00:11:22:33:44:55").
RunResult runProgram(const std::string &commandLine);

// Shell text that runs a program of the build folder under test: its path,
// behind the emulator in a build for another processor.
std::string programPath(const std::string &name);

// Whole files; a missing file reads as "".
std::string readFile(const std::string &path);
bool fileExists(const std::string &path);
void writeFile(const std::string &path, const std::string &bytes);

// Path in the unit's state folder, for the parts no device path shows:
// "u-boot/env" (boot environment), "i2c-0/0x51.hex" (transceiver memory).
std::string statePath(const std::string &relative);

// The log of a stand-in by name ("clish", "reboot", ...), and the clish log
// split into its scripts.
std::string standInLog(const std::string &name);
std::vector<std::string> clishScripts();

// Expected replies, byte for byte: a read's JSON body, and the error reply.
std::string jsonReply(const std::string &body);
std::string errorReply(int status, const std::string &message);

// A configuration file as a test lays it down: with the declaration and a
// final line end, which a store write drops, so a file that still has them
// was not rewritten.
std::string laidDown(const std::string &root);

// The text with the first occurrence of `from` replaced by `to`.
std::string replaced(std::string text, const std::string &from, const std::string &to);
