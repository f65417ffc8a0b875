#include "e2e_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

// The line that follows every script in the clish log.
const std::string CLISH_SCRIPT_END = "--- end of script ---\n";
// The clish bridge's script file: replaced and removed by every run.
const char RUN_SCRIPT[] = "/tmp/TempFile";
const char *const COMMAND_NODES[] = {SUPPRESSION_NODE_PATH, RATE_LIMIT_NODE_PATH, SWITCH_REGISTER_PATH};

std::string stateFolder() { return std::getenv("ONU_SIM_STATE") ? std::getenv("ONU_SIM_STATE") : ""; }

// The unit's own check, by its own list of covered paths (sim/sim-lib.sh).
bool insideUnit()
{
    return !stateFolder().empty() &&
           std::system("bash -c '. \"$ONU_SIM_HOME/sim-lib.sh\" && sim_inside_unit \"$ONU_SIM_STATE\"'") == 0;
}

// Checked once: the mounts do not change while the tests run.
void requireUnit()
{
    static const bool inside = insideUnit();
    if (inside)
        return;
    std::fprintf(stderr, "end-to-end tests run only inside the simulated unit, where the device "
                         "paths are not the host's: sim/onu-sim run ctest --test-dir build\n");
    std::exit(1);
}

// Runs a shell command line with the CGI variables set to the NAME=value
// entries and the bytes as standard input. Input and standard error are
// unlinked files (nothing to keep filled); standard error is passed on, and a
// sanitizer report there fails the test that ran the program.
RunResult run(const std::string &commandLine, const std::vector<std::string> &cgiEnv = {},
              const std::string &input = "")
{
    requireUnit();
    for (const char *name : {"REQUEST_METHOD", "QUERY_STRING", "CONTENT_LENGTH", "CONTENT_TYPE"})
        unsetenv(name);
    for (const std::string &entry : cgiEnv)
        setenv(entry.substr(0, entry.find('=')).c_str(), entry.substr(entry.find('=') + 1).c_str(), 1);
    FILE *inputFile = std::tmpfile(), *errorFile = std::tmpfile();
    std::fwrite(input.data(), 1, input.size(), inputFile);
    std::rewind(inputFile);
    const std::string redirected = "(" + commandLine + ") <&" + std::to_string(fileno(inputFile)) + " 2>&" +
                                   std::to_string(fileno(errorFile));
    FILE *output = popen(redirected.c_str(), "r");
    RunResult result{"", -1};
    char buffer[4096];
    for (size_t size; (size = std::fread(buffer, 1, sizeof buffer, output)) > 0;)
        result.output.append(buffer, size);
    result.status = WEXITSTATUS(pclose(output));
    const std::string errors = readFile("/proc/self/fd/" + std::to_string(fileno(errorFile)));
    std::fclose(inputFile);
    std::fclose(errorFile);
    std::fputs(errors.c_str(), stderr);
    if (errors.find("Sanitizer") != std::string::npos || errors.find("runtime error:") != std::string::npos)
        ADD_FAILURE() << commandLine << " reported on standard error:\n" << errors;
    return result;
}

// A configuration file as a test lays it down: with the declaration and a
// final line end, which a store write drops, so a file that still has them
// was not rewritten.
std::string laidDown(const std::string &root) { return "<?xml version=\"1.0\"?>\n" + root + "\n"; }

// The fixture files, root elements only.
const std::string WEB_FIXTURE = R"(<config>
<ipInfo><ipAddress>192.168.1.1</ipAddress><netMask>255.255.255.0</netMask><onu_mac>00:26:3E:50:11:A0</onu_mac></ipInfo>
<account><admin>Adm1n</admin><user>guest</user><tech></tech></account>
<vlan><port mode="4" default_vid="100" vid_sum="2" vid_serial="200,300">0</port>)"
    R"(<port mode="1" default_vid="1" vid_sum="0" vid_serial="">1</port></vlan>
<switch><port phy_admin="0" flow_control="1" auto_neg="0" mode="2" mode_max="3">0</port>)"
    R"(<port phy_admin="1" flow_control="0" auto_neg="1" mode="1" mode_max="2">1</port></switch>
<mac_aging_time><eth_port time="300">0</eth_port><eth_port time="600">1</eth_port></mac_aging_time>
<storm><port mode="3" bs_thresh="1000"></port></storm>
</config>)";

const std::string OTHER_TX_MODULE =
    R"(<tx_mod><queue_map><queue sched_method="1" weight="9" size="9"></queue></queue_map></tx_mod>
)";
const std::string TPM_FIXTURE = R"(<tpm>
<mtu_setting><mtu_setting_enabled>0</mtu_setting_enabled><ipv4_mtu_ds>1500</ipv4_mtu_ds>)"
    R"(<ipv4_mtu_us>1500</ipv4_mtu_us><ipv4_pppoe_mtu_us>1492</ipv4_pppoe_mtu_us></mtu_setting>
<port_init><tx_module_parameters>
)" + OTHER_TX_MODULE + OTHER_TX_MODULE + "<tx_mod><queue_map>" + txQueues(8) + R"(</queue_map></tx_mod>
</tx_module_parameters><gmac_config><gmac_rx_queues>
<gmac><queue size="9"></queue></gmac><gmac><queue size="9"></queue></gmac>
<gmac>)" + gmacQueues(8) + R"(</gmac>
</gmac_rx_queues></gmac_config></port_init>
<flow_control><enabled>0</enabled></flow_control>
</tpm>)";

const std::string EOAM_FIXTURE = R"(<eoam>
<ONU_MULTICAST><oam_multicast_switch>1</oam_multicast_switch><port groupnum="32"></port></ONU_MULTICAST>
<ONU_LOOPDETECT><port loopdetect="1"></port><port loopdetect="2"></port><port></port></ONU_LOOPDETECT>
</eoam>)";

const std::string OMCI_FIXTURE = R"(<omci>
<OMCI_MIB><ctcLOIDAuth loid="L1" password="P1"></ctcLOIDAuth>)"
    R"(<ethPortIsolated enabled="false"></ethPortIsolated></OMCI_MIB>
</omci>)";

} // namespace

void resetUnit()
{
    requireUnit();
    const char *home = std::getenv("ONU_SIM_HOME");
    std::string reset = std::string(home ? home : ONU_SOURCE_DIR "/sim") + "/reset";
    if (std::system(reset.c_str()) != 0) {
        std::fprintf(stderr, "%s failed: the unit cannot be brought back to its image\n", reset.c_str());
        std::exit(1);
    }
}

// The command layer driven directly, as the conformance tables need it: the
// host's login gate is switched off, as only the web server's setup can do.
RunResult runCgi(const std::string &query)
{
    return run(programPath("onu-cgi"), {"ONU_WEB_AUTH=off", "REQUEST_METHOD=GET", "QUERY_STRING=" + query});
}

RunResult runCgiUpload(const std::string &query, const std::string &fileName, const std::string &bytes)
{
    const std::string boundary = "----onuSimUploadBoundary5f3a9c";
    const std::string body = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" +
                             fileName + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + bytes +
                             "\r\n--" + boundary + "--\r\n";
    return run(programPath("onu-cgi"),
               {"ONU_WEB_AUTH=off", "REQUEST_METHOD=POST", "QUERY_STRING=" + query, "CONTENT_TYPE=multipart/form-data; boundary=" +
                boundary, "CONTENT_LENGTH=" + std::to_string(body.size())},
               body);
}

RunResult runProgram(const std::string &commandLine) { return run(commandLine); }

// The emulator's words (set by the unit's launcher; empty in a build for the
// host) come first.
std::string programPath(const std::string &name)
{
    const char *emulator = std::getenv("ONU_SIM_EMULATOR");
    return std::string(emulator ? emulator : "") + " " ONU_BUILD_DIR "/" + name;
}

std::string readFile(const std::string &path)
{
    requireUnit();
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

bool fileExists(const std::string &path)
{
    requireUnit();
    return access(path.c_str(), F_OK) == 0;
}

void writeFile(const std::string &path, const std::string &bytes)
{
    requireUnit();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void replaceInFile(const std::string &path, const std::string &from, const std::string &to)
{
    const std::string text = readFile(path);
    ASSERT_NE(text.find(from), std::string::npos) << from << " in " << path;
    writeFile(path, replaced(text, from, to));
}

std::string statePath(const std::string &relative)
{
    requireUnit();
    return stateFolder() + "/" + relative;
}

std::vector<std::string> clishScripts()
{
    const std::string log = standInLog("clish");
    std::vector<std::string> scripts;
    for (size_t start = 0, end; (end = log.find(CLISH_SCRIPT_END, start)) != std::string::npos;
         start = end + CLISH_SCRIPT_END.size())
        scripts.push_back(log.substr(start, end - start));
    return scripts;
}

std::string txQueues(int count, const std::string &method)
{
    std::string queues;
    for (int i = 0; i < count; ++i)
        queues += "<queue sched_method=\"" + method + "\" weight=\"" + std::to_string(10 + i) + "\" size=\"" +
                  std::to_string(200 + i) + "\"></queue>";
    return queues;
}

std::string gmacQueues(int count)
{
    std::string queues;
    for (int i = 0; i < count; ++i)
        queues += "<queue size=\"" + std::to_string(100 + i) + "\"></queue>";
    return queues;
}

std::vector<Change> without(const char *path, const std::string &element)
{
    return {{path, "<" + element + ">", "<no_" + element + ">"}, {path, "</" + element + ">", "</no_" + element + ">"}};
}

void expectExchanges(const std::vector<Exchange> &exchanges)
{
    for (const Exchange &e : exchanges) {
        SCOPED_TRACE(e.query);
        std::map<std::string, std::string> roots = {
            {WEB_XML_PATH, WEB_FIXTURE}, {TPM_XML_PATH, TPM_FIXTURE}, {EOAM_XML_PATH, EOAM_FIXTURE},
            {OMCI_XML_PATH, OMCI_FIXTURE}};
        for (const Change &change : e.before)
            roots[change.path] = replaced(roots[change.path], change.from, change.to);
        std::map<std::string, std::string> expected;
        for (const auto &[path, root] : roots)
            writeFile(path, expected[path] = laidDown(root));
        writeFile(statePath("log/clish.log"), "");
        writeFile(RUN_SCRIPT, "eoam\nstale command longer than any script the bridge writes\n");
        for (const char *node : COMMAND_NODES)
            writeFile(node, "");

        EXPECT_EQ(runCgi(e.query).output, e.reply);

        for (const Change &change : e.changes) {
            std::string &text = expected[change.path];
            if (text == laidDown(roots[change.path]))
                text = roots[change.path];  // rewritten: no declaration, no final line end
            text = replaced(text, change.from, change.to);
        }
        for (const auto &[path, text] : expected)
            EXPECT_EQ(readFile(path), text) << path;
        EXPECT_EQ(clishScripts(), e.scripts);
        EXPECT_EQ(fileExists(RUN_SCRIPT), e.scripts.empty());
        std::string nodes;
        for (const std::string node : COMMAND_NODES) {
            std::istringstream lines(readFile(node));
            for (std::string line; std::getline(lines, line);)
                nodes += node.substr(node.rfind('/') + 1) + ": " + line + "\n";
        }
        EXPECT_EQ(nodes, e.nodes);
    }
}

namespace {

pid_t server = -1;
int serverPort = 0;

int freePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr *>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr *>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

// The test's own texts hold no quote; refuse rather than mis-quote one.
std::string shellQuoted(const std::string &text)
{
    EXPECT_EQ(text.find('\''), std::string::npos) << text;
    return "'" + text + "'";
}

}  // namespace

void ServedUnitTest::SetUpTestSuite()
{
    requireUnit();
    if (std::getenv("ONU_SIM_EMULATOR") && *std::getenv("ONU_SIM_EMULATOR"))
        return;
    const std::string stage = ONU_BUILD_DIR "/stage";
    const std::string install = "DESTDIR=" + stage + " cmake --install " ONU_BUILD_DIR " --prefix /usr >/dev/null";
    if (std::system(install.c_str()) != 0) {
        std::fprintf(stderr, "cannot stage the build in %s\n", stage.c_str());
        std::exit(1);
    }
    serverPort = freePort();
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
    command += " " + shellQuoted("http://127.0.0.1:" + std::to_string(serverPort) + path);
    std::string raw;
    FILE *output = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t size; (size = std::fread(buffer, 1, sizeof buffer, output)) > 0;)
        raw.append(buffer, size);
    pclose(output);
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
    const HttpReplyBytes reply =
        http("POST", "/cgi-bin/onu.cgi", "cmd_id=1&username=" + account + "&password=" + password);
    auto cookie = [&reply](const std::string &name) {
        const std::string prefix = "Set-Cookie: " + name + "=";
        const std::size_t at = reply.headers.find(prefix);
        return at == std::string::npos ? ""
                                       : reply.headers.substr(at + prefix.size(),
                                                              reply.headers.find(';', at) - at - prefix.size());
    };
    return {cookie("onu_sid"), cookie("onu_csrf")};
}
