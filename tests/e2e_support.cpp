#include "e2e_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <cstdio>
#include <map>

// Checked once: the mounts do not change while the tests run.
static void requireUnit()
{
    static const bool inside = std::getenv("ONU_SIM_STATE") && std::system("bash -c '. \"$ONU_SIM_HOME/sim-lib.sh\" && "
                                                                           "sim_inside_unit \"$ONU_SIM_STATE\"'") == 0;
    if (inside)
        return;
    std::fprintf(stderr, "end-to-end tests run only inside the simulated unit, where the device "
                         "paths are not the host's: sim/onu-sim run ctest --test-dir build\n");
    std::exit(1);
}

// Whole output of a command line run by the shell.
static std::string outputOf(const std::string &commandLine, int *status = nullptr)
{
    std::string output;
    FILE *pipe = popen(commandLine.c_str(), "r");
    char buffer[4096];
    for (size_t size; (size = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, size);
    const int result = pclose(pipe);
    if (status)
        *status = WEXITSTATUS(result);
    return output;
}

// Input and standard error are unlinked files (nothing to keep filled);
// standard error is passed on, and a sanitizer report there fails the test.
RunResult runProgram(const std::string &commandLine, const std::vector<std::string> &environment,
                     const std::string &input)
{
    requireUnit();
    for (const char *name : {"REQUEST_METHOD", "QUERY_STRING", "CONTENT_LENGTH", "CONTENT_TYPE"})
        unsetenv(name);
    for (const std::string &entry : environment)
        setenv(entry.substr(0, entry.find('=')).c_str(), entry.substr(entry.find('=') + 1).c_str(), 1);
    FILE *inputFile = std::tmpfile(), *errorFile = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), inputFile);
    std::rewind(inputFile);
    RunResult result{"", -1};
    result.output = outputOf("(" + commandLine + ") <&" + std::to_string(fileno(inputFile)) + " 2>&" +
                                 std::to_string(fileno(errorFile)),
                             &result.status);
    const std::string errors = readFile("/proc/self/fd/" + std::to_string(fileno(errorFile)));
    std::fclose(inputFile);
    std::fclose(errorFile);
    std::fputs(errors.c_str(), stderr);
    if (errors.find("Sanitizer") != std::string::npos || errors.find("runtime error:") != std::string::npos)
        ADD_FAILURE() << commandLine << " reported on standard error:\n" << errors;
    return result;
}

void resetUnit()
{
    requireUnit();
    if (std::system("\"$ONU_SIM_HOME/reset\"") != 0) {
        std::fprintf(stderr, "the unit cannot be brought back to its image\n");
        std::exit(1);
    }
}

// The emulator's words (empty in a build for the host) come first.
std::string programPath(const std::string &name)
{
    const char *emulator = std::getenv("ONU_SIM_EMULATOR");
    return std::string(emulator ? emulator : "") + " " ONU_BUILD_DIR "/" + name;
}

RunResult runCgi(const std::string &query)
{
    return runProgram(programPath("onu-cgi"), {"ONU_WEB_AUTH=off", "REQUEST_METHOD=GET", "QUERY_STRING=" + query});
}

RunResult runCgiUpload(const std::string &query, const std::string &bytes)
{
    const std::string boundary = "----onuSimUploadBoundary5f3a9c";
    const std::string body = "--" + boundary +
                             "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"upload.bin\"\r\n"
                             "Content-Type: application/octet-stream\r\n\r\n" +
                             bytes + "\r\n--" + boundary + "--\r\n";
    return runProgram(programPath("onu-cgi"),
                      {"ONU_WEB_AUTH=off", "REQUEST_METHOD=POST", "QUERY_STRING=" + query,
                       "CONTENT_TYPE=multipart/form-data; boundary=" + boundary,
                       "CONTENT_LENGTH=" + std::to_string(body.size())},
                      body);
}

void replaceInFile(const std::string &path, const std::string &from, const std::string &to)
{
    const std::string text = readFile(path);
    ASSERT_NE(text.find(from), std::string::npos) << from << " in " << path;
    writeFile(path, replaced(text, from, to));
}

std::vector<std::string> clishScripts()
{
    const std::string log = standInLog("clish"), end = "--- end of script ---\n";
    std::vector<std::string> scripts;
    for (size_t start = 0, at; (at = log.find(end, start)) != std::string::npos; start = at + end.size())
        scripts.push_back(log.substr(start, at - start));
    return scripts;
}

std::vector<Change> without(const char *path, const std::string &element)
{
    return {{path, "<" + element + ">", "<no_" + element + ">"}, {path, "</" + element + ">", "</no_" + element + ">"}};
}

// A fixture file is laid down with the declaration and a final line end, which
// a store write drops, so a file that still has them was not rewritten. A
// stale bridge script must be gone afterwards exactly when clish ran.
void expectExchanges(const std::vector<Exchange> &exchanges)
{
    const char runScript[] = "/tmp/TempFile";
    for (const Exchange &e : exchanges) {
        SCOPED_TRACE(e.query);
        std::map<std::string, std::string> expected;
        for (const auto &[path, name] :
             {std::pair{WEB_XML_PATH, "web"}, {TPM_XML_PATH, "tpm"}, {EOAM_XML_PATH, "eoam"}, {OMCI_XML_PATH, "omci"}})
            expected[path] = readFile(ONU_SOURCE_DIR "/tests/e2e_fixtures/" + std::string(name) + ".xml");
        for (const Change &change : e.before)
            expected[change.path] = replaced(expected[change.path], change.from, change.to);
        for (const auto &[path, text] : expected)
            writeFile(path, text);
        writeFile(statePath("log/clish.log"), "");
        writeFile(statePath("log/system.log"), "");
        writeFile(runScript, "eoam\nstale command longer than any script the bridge writes\n");

        EXPECT_EQ(runCgi(e.query).output, e.reply);

        for (const Change &change : e.changes) {
            std::string &text = expected[change.path];
            if (text.rfind("<?xml", 0) == 0)  // rewritten: no declaration, no final line end
                text = text.substr(text.find('\n') + 1, text.size() - text.find('\n') - 2);
            text = replaced(text, change.from, change.to);
        }
        for (const auto &[path, text] : expected)
            EXPECT_EQ(readFile(path), text) << path;
        EXPECT_EQ(clishScripts(), e.scripts);
        EXPECT_EQ(fileExists(runScript), e.scripts.empty());
        std::string commands = e.commands;
        for (size_t i = 0; i < e.scripts.size(); ++i)
            commands += BRIDGE_COMMANDS;
        EXPECT_EQ(standInLog("system"), commands);
    }
}

static pid_t server = -1;
static int serverPort = 0;

// The test's own texts hold no quote; refuse rather than mis-quote one.
static std::string shellQuoted(const std::string &text)
{
    EXPECT_EQ(text.find('\''), std::string::npos) << text;
    return "'" + text + "'";
}

void ServedUnitTest::SetUpTestSuite()
{
    requireUnit();
    if (std::getenv("ONU_SIM_EMULATOR") && *std::getenv("ONU_SIM_EMULATOR"))
        return;
    const std::string stage = ONU_BUILD_DIR "/stage";
    if (std::system(("DESTDIR=" + stage + " cmake --install " ONU_BUILD_DIR " --prefix /usr >/dev/null").c_str())) {
        std::fprintf(stderr, "cannot stage the build in %s\n", stage.c_str());
        std::exit(1);
    }
    // A port the system picks as free.
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr *>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size);
    close(fd);
    serverPort = ntohs(address.sin_port);
    server = fork();
    if (server == 0) {
        setenv("ONU_LOGIN_DELAY_BASE_MS", std::to_string(LOGIN_DELAY_BASE_MS).c_str(), 1);
        const std::string port = "127.0.0.1:" + std::to_string(serverPort), root = stage + "/usr/share/onu/www",
                          config = stage + "/etc/onu/httpd.conf";
        execlp("busybox", "busybox", "httpd", "-f", "-p", port.c_str(), "-h", root.c_str(), "-c", config.c_str(),
               static_cast<char *>(nullptr));
        _exit(127);
    }
    for (int tries = 0; tries < 100 && http("GET", "/").status == 0; ++tries)
        usleep(20000);
}

void ServedUnitTest::TearDownTestSuite()
{
    if (server > 0) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        server = -1;
    }
}

void ServedUnitTest::SetUp()
{
    if (server <= 0)
        GTEST_SKIP() << "a build for another processor is not served here";
    SimulatedUnitTest::SetUp();
}

// Safe to call from several threads at once: no environment, no shared descriptor.
HttpReplyBytes http(const std::string &method, const std::string &path, const std::string &body,
                    const std::vector<std::string> &headers)
{
    std::string command = "curl -s -i --max-time 60 -X " + method;
    for (const std::string &header : headers)
        command += " -H " + shellQuoted(header);
    char bodyPath[] = "/tmp/http-body-XXXXXX";
    const int bodyFile = mkstemp(bodyPath);
    if (method == "POST") {
        EXPECT_EQ(write(bodyFile, body.data(), body.size()), static_cast<ssize_t>(body.size()));
        command += std::string(" --data-binary @") + bodyPath;
    }
    close(bodyFile);
    const std::string raw =
        outputOf(command + " " + shellQuoted("http://127.0.0.1:" + std::to_string(serverPort) + path));
    unlink(bodyPath);
    HttpReplyBytes reply{0, raw, "", ""};
    const std::size_t end = raw.find("\r\n\r\n") != std::string::npos ? raw.find("\r\n\r\n") : raw.find("\n\n");
    if (raw.compare(0, 5, "HTTP/") != 0 || end == std::string::npos)
        return reply;
    reply.status = std::atoi(raw.c_str() + raw.find(' ') + 1);
    reply.headers = raw.substr(0, end);
    reply.body = raw.substr(end + (raw[end] == '\r' ? 4 : 2));
    return reply;
}

Login login(const std::string &account, const std::string &password)
{
    const std::string headers =
        http("POST", "/cgi-bin/onu.cgi", "cmd_id=1&username=" + account + "&password=" + password).headers;
    auto cookie = [&headers](const std::string &name) {
        const std::string prefix = "Set-Cookie: " + name + "=";
        const std::size_t at = headers.find(prefix);
        return at == std::string::npos ? ""
                                       : headers.substr(at + prefix.size(), headers.find(';', at) - at - prefix.size());
    };
    return {cookie("onu_sid"), cookie("onu_csrf")};
}
