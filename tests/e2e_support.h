// Helpers of the end-to-end tests, run inside the simulated unit (sim/onu-sim run ctest --test-dir build;
// sim/README.md). Running a program or resetting the unit first checks that the unit covers the device paths
// (ONU_SIM_STATE names its state folder) and otherwise ends the test program, saying why.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "config/paths.h"
#include "unit_support.h"

// Standard output and exit status.
struct RunResult {
    std::string output;
    int status;
};

// Brings the unit back to its image; SimulatedUnitTest does so before each case.
void resetUnit();

class SimulatedUnitTest : public ::testing::Test {
protected:
    void SetUp() override { resetUnit(); }
};

// A shell command line with NAME=value entries in its environment.
RunResult runProgram(const std::string &commandLine, const std::vector<std::string> &environment = {},
                     const std::string &input = "");
// A program of the build folder, behind the emulator of a build for another processor.
std::string programPath(const std::string &name);
// onu-cgi with the login gate off, as the conformance tables drive the command layer: a GET with the query text, or
// a multipart POST carrying one file.
RunResult runCgi(const std::string &query);
RunResult runCgiUpload(const std::string &query, const std::string &bytes);

inline bool fileExists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }
inline void writeFile(const std::string &path, const std::string &bytes) { std::ofstream(path) << bytes; }
inline std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    return text.replace(text.find(from), from.size(), to);
}
void replaceInFile(const std::string &path, const std::string &from, const std::string &to);
// A path in the unit's state folder: "u-boot/env", "i2c-0/0x51.hex", "log/NAME.log".
inline std::string statePath(const std::string &relative) { return std::getenv("ONU_SIM_STATE") + ("/" + relative); }

// A stand-in's log, the clish log split into its scripts, and a script as the bridge writes it.
inline std::string standInLog(const std::string &name) { return readFile(statePath("log/" + name + ".log")); }
std::vector<std::string> clishScripts();
inline std::string script(const std::string &context, const std::string &command)
{
    return context + "\n" + command + "\n\nquit\n";
}
// The shell commands (log/system.log) with which the bridge runs one script.
inline const std::string BRIDGE_COMMANDS = "clish </tmp/TempFile >/dev/null \nrm -f /tmp/TempFile\n";

inline std::string jsonReply(const std::string &body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n" + body + "\n";
}
inline std::string errorReply(int status, const std::string &message)
{
    const std::string code = std::to_string(status);
    return "HTTP/1.1 " + code + " " + message + "\nConnection:close\n\n<HTML><BODY><p>Error:" + code + " -- " +
           message + "</p></BODY></HTML>\n";
}

// The first `from` in a fixture file (tests/e2e_fixtures) becomes `to`; both empty: a rewrite that changes nothing.
// The fixtures hold no empty-element tags, which a store write would expand.
struct Change {
    const char *path;
    std::string from, to;
};

// Renames an element, so that the stores find none.
std::vector<Change> without(const char *path, const std::string &element);

// One request against the fixture files (edited by `before`) and all it must leave: the reply, the fixture files (as
// laid down but for `changes`), the clish scripts, and the shell commands it ran besides the clish bridge's own, which
// follow them. Each starts from empty clish and shell logs.
struct Exchange {
    std::string query, reply;
    std::vector<Change> changes = {};
    std::vector<std::string> scripts = {};
    std::string commands = "";
    std::vector<Change> before = {};
};

// The exchange against fixture files edited by `before`.
inline Exchange given(std::vector<Change> before, Exchange exchange)
{
    exchange.before = std::move(before);
    return exchange;
}

void expectExchanges(const std::vector<Exchange> &exchanges);

// The build staged (cmake --install) and served by busybox httpd on 127.0.0.1 as the unit ships it, the login delay
// base short; once per test suite, and not for a build for another processor.
class ServedUnitTest : public SimulatedUnitTest {
public:
    static constexpr long LOGIN_DELAY_BASE_MS = 100;
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
};

struct HttpReplyBytes {
    int status;  // 0 when nothing answered
    std::string raw, headers, body;
};

// One HTTP exchange with the served unit; a POST carries `body` as form data.
HttpReplyBytes http(const std::string &method, const std::string &path, const std::string &body = "",
                    const std::vector<std::string> &headers = {});

// A page's session and CSRF token after a login (empty when none was granted).
struct Login {
    std::string sid, csrf;
    std::vector<std::string> cookie() const { return {"Cookie: onu_sid=" + sid + "; onu_csrf=" + csrf}; }
    std::vector<std::string> writing() const { return {cookie()[0], "X-ONU-CSRF: " + csrf}; }
};
Login login(const std::string &account, const std::string &password);
