// Whole read requests through the dispatcher, inside the simulated unit
// (sim/onu-sim run ...; it refuses to run anywhere else). The first input
// byte picks a read command, the rest is request text after
// "cmd_id=N&action=0&". Only reads are sent: other commands reboot, erase
// flash or rewrite the configuration even in the unit. Every request gets a
// success or an error reply, and leaves the configuration files and the
// stand-ins' records of reboots, flash and boot-environment writes as they were.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "config/paths.h"
#include "web/request_process.h"

namespace {

const int READ_COMMANDS[] = {2, 3, 4, 5, 6, 8, 16, 17, 22, 23, 24, 25, 26, 27, 28, 30};

const char INSIDE_UNIT_CHECK[] =
    "bash -c '. \"$ONU_SIM_HOME/sim-lib.sh\" && sim_inside_unit \"$ONU_SIM_STATE\"' 2>/dev/null";

const char SUCCESS_HEAD[] = "HTTP/1.0 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n";
const char ERROR_HEAD[] = "HTTP/1.1 ";
const char ERROR_TAIL[] = "</p></BODY></HTML>\n";

std::map<std::string, std::string> unchanged;

std::string contentOf(const std::string &path)
{
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

bool startsWith(const std::string &text, const std::string &head) { return text.compare(0, head.size(), head) == 0; }

bool endsWith(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (std::system(INSIDE_UNIT_CHECK) != 0) {
        std::fprintf(stderr, "web_request_fuzz runs requests against the unit's device paths: "
                             "run it inside the simulated unit (sim/onu-sim run ...)\n");
        std::exit(1);
    }
    const std::string log = std::string(std::getenv("ONU_SIM_STATE")) + "/log/";
    for (const std::string &path :
         {std::string(WEB_XML_PATH), std::string(DEFAULT_WEB_XML_PATH), std::string(GPON_XML_PATH),
          std::string(EOAM_XML_PATH), std::string(OMCI_XML_PATH), std::string(TPM_XML_PATH),
          std::string(ONU_PROFILE_XML_PATH), std::string(DEFAULT_ONU_PROFILE_XML_PATH), log + "reboot.log",
          log + "flash.log", log + "fw_setenv.log", log + "upgrade.log"})
        unchanged[path] = contentOf(path);
    // Anything written past the reply writer (the tools that system() starts)
    // stays out of the fuzzer's output.
    int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    close(devNull);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int command = READ_COMMANDS[data[0] % (sizeof READ_COMMANDS / sizeof *READ_COMMANDS)];
    const std::string request = "cmd_id=" + std::to_string(command) + "&action=0&" +
                                std::string(reinterpret_cast<const char *>(data) + 1, size - 1);

    // The reply goes to an in-memory file, read back from its start.
    const int out = memfd_create("reply", 0);
    RequestProcess(out).handleRequest(request);
    std::string reply(static_cast<size_t>(lseek(out, 0, SEEK_END)), '\0');
    if (pread(out, reply.data(), reply.size(), 0) != static_cast<ssize_t>(reply.size()))
        std::abort();
    close(out);

    const bool success = startsWith(reply, SUCCESS_HEAD) && endsWith(reply, "\n");
    const bool error = startsWith(reply, ERROR_HEAD) && endsWith(reply, ERROR_TAIL);
    if (!success && !error)
        std::abort();
    for (const auto &[path, content] : unchanged)
        if (contentOf(path) != content)
            std::abort();
    return 0;
}
