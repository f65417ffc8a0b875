// Helpers for the end-to-end tests, run inside the simulated unit (sim/onu-sim
// run ctest --test-dir build; sim/README.md). Every helper first checks that
// the unit's folders and overlays are mounted on the device paths (ONU_SIM_STATE
// names its state folder) and otherwise ends the test program, saying why.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/paths.h"
#include "unit_support.h"

// Standard output and exit status (128 + the signal number after a signal).
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

// onu-cgi as a web server runs it: a GET with the query text, or a multipart
// POST carrying one file (the command in the query text, as the pages send it).
RunResult runCgi(const std::string &query);
RunResult runCgiUpload(const std::string &query, const std::string &fileName, const std::string &bytes);
RunResult runProgram(const std::string &commandLine);
// Shell text that runs a program of the build folder under test (behind the
// emulator in a build for another processor).
std::string programPath(const std::string &name);

// Whole files (readFile: unit_support.h). replaceInFile needs `from` in the file.
bool fileExists(const std::string &path);
void writeFile(const std::string &path, const std::string &bytes);
void replaceInFile(const std::string &path, const std::string &from, const std::string &to);

// Path in the unit's state folder, for the parts no device path shows:
// "u-boot/env" (boot environment), "i2c-0/0x51.hex" (transceiver memory).
std::string statePath(const std::string &relative);

// The log of a stand-in by name ("clish", "reboot", ...), the clish log split
// into its scripts, and a script as the clish bridge writes it.
inline std::string standInLog(const std::string &name) { return readFile(statePath("log/" + name + ".log")); }
std::vector<std::string> clishScripts();
inline std::string script(const std::string &context, const std::string &command)
{
    return context + "\n" + command + "\n\nquit\n";
}
// The shell commands (log/system.log) with which the bridge runs one script.
inline const std::string BRIDGE_COMMANDS = "clish </tmp/TempFile >/dev/null \nrm -f /tmp/TempFile\n";

// Expected replies: a read's JSON body, and the error reply.
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

inline std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    return text.replace(text.find(from), from.size(), to);
}

// The command tests lay down small web, traffic-processor, EOAM and OMCI files
// of their own (tests/e2e_fixtures), without empty-element tags, which a store
// write would expand. A change: the first `from` in such a file becomes `to`;
// both empty: a rewrite that changes nothing.
struct Change {
    const char *path;
    std::string from, to;
};

// Changes that rename an element, so that the stores find none.
std::vector<Change> without(const char *path, const std::string &element);

// One request against the fixture files (edited by `before`) and all it must
// leave: the output, the fixture files (as laid down but for `changes`), the
// clish scripts, and the shell commands (log/system.log) it ran besides the
// clish bridge's own, which follow them.
struct Exchange {
    std::string query, reply;
    std::vector<Change> changes = {};
    std::vector<std::string> scripts = {};
    std::string commands = "";
    std::vector<Change> before = {};
};

// Each exchange starts from fresh fixture files and empty clish and shell
// logs; a stale bridge script must be gone afterwards exactly when clish ran.
void expectExchanges(const std::vector<Exchange> &exchanges);

// The unit served as it ships: the build staged (cmake --install) and served
// by busybox httpd on a free port of 127.0.0.1, login gate on, the login
// delay base short. Started once per test suite; a build for another
// processor cannot be served here, and its suites are skipped.
struct HttpReplyBytes {
    int status;  // 0 when nothing answered
    std::string raw, headers, body;
};

class ServedUnitTest : public SimulatedUnitTest {
public:
    static constexpr long LOGIN_DELAY_BASE_MS = 100;
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
};

// One HTTP exchange with the served unit; `headers` are whole header lines.
// A POST carries `body` as form data.
HttpReplyBytes http(const std::string &method, const std::string &path, const std::string &body = "",
                    const std::vector<std::string> &headers = {});

// A logged-in page: its cookies and its CSRF token as it sends them.
struct Login {
    std::string sid, csrf;
    std::vector<std::string> cookie() const { return {"Cookie: onu_sid=" + sid + "; onu_csrf=" + csrf}; }
    std::vector<std::string> writing() const { return {cookie()[0], "X-ONU-CSRF: " + csrf}; }
};
// Logs in (a POST of command 1); empty texts when no session was granted.
Login login(const std::string &account, const std::string &password);
