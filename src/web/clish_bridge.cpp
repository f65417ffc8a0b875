#include "web/clish_bridge.h"

#include <cstdio>
#include <cstdlib>

#include "config/paths.h"
#include "config/resource_lock.h"
#include "device/whole_file.h"
#include "log/log.h"

namespace {

const char RUN_SCRIPT_PATH[] = "/tmp/TempFile";
const char CAPTURE_SCRIPT_PATH[] = "/tmp/TmpFile";

// Replaces the script at `path` with the four lines clish reads. (stdio
// rather than iostreams: a CGI process then skips the streams' start-up.)
void writeScript(const char *path, const std::string &context, const std::string &command)
{
    if (FILE *created = std::fopen(path, "a+"))  // creates a missing file
        std::fclose(created);
    FILE *script = std::fopen(path, "w");
    if (!script)
        return;
    std::fprintf(script, "%s\n%s\n\nquit\n", context.c_str(), command.c_str());
    std::fclose(script);
}

// Feeds the script to clish through `clishCommand`, then removes it.
void runScript(const char *path, const std::string &clishCommand)
{
    runShell(clishCommand);
    runShell(std::string("rm -f ") + path);
}

// The capture's script and output files, which one run at a time owns.
struct CaptureLocks {
    ResourceLock script{CAPTURE_SCRIPT_PATH};
    ResourceLock output{INFO_FILE_PATH};
};

void capture(const std::string &context, const std::string &command)
{
    writeScript(CAPTURE_SCRIPT_PATH, context, command);
    runScript(CAPTURE_SCRIPT_PATH, std::string("clish <") + CAPTURE_SCRIPT_PATH + " > " + INFO_FILE_PATH + " ");
}

}  // namespace

// The script files have fixed names, so concurrent requests take turns with
// each: a script is written, run and removed under its lock.
void runClish(const std::string &context, const std::string &command)
{
    const ResourceLock lock(RUN_SCRIPT_PATH);
    writeScript(RUN_SCRIPT_PATH, context, command);
    runScript(RUN_SCRIPT_PATH, std::string("clish <") + RUN_SCRIPT_PATH + " >/dev/null ");
}

void runClishCapture(const std::string &context, const std::string &command)
{
    const CaptureLocks locks;
    capture(context, command);
}

int vlanModeCommand(const VlanPortRecord &port, std::string &command)
{
    switch (std::strtol(port.mode.c_str(), nullptr, 10)) {
    case 1:
        command = "port vlan transparent " + port.port;
        return 0;
    case 2:
        command = "port vlan tag " + port.port + "  " + port.defaultVid;
        return 0;
    case 3:
        command =
            "port vlan translation  " + port.port + "  " + port.defaultVid + " " + port.vidSum + "  " + port.vidSerial;
        return 0;
    case 4:
        command =
            "port vlan trunk  " + port.port + "  " + port.defaultVid + "   " + port.vidSum + "  " + port.vidSerial;
        return 0;
    default:
        command.clear();
        return -1;
    }
}

int applyPortVlan(const VlanPortRecord &port)
{
    std::string command;
    int result = vlanModeCommand(port, command);
    runClish(CLISH_EOAM, command);
    return result;
}

int getFecMode(std::string &fecMode)
{
    const CaptureLocks locks;
    capture(CLISH_EOAM, "show pon fec_mode");

    std::string text;
    if (readWholeFile(INFO_FILE_PATH, text) != 0) {
        logTrace("open file info_file  fail !");
        return -1;
    }
    // The phrase holds no line break, so finding it in the text finds it in a line.
    fecMode = text.find("FEC Enabled") != std::string::npos ? "1" : "0";
    runShell(std::string("rm -f ") + INFO_FILE_PATH);
    return 0;
}
