#include "init/boot_env.h"

#include "config/paths.h"
#include "device/shell_command.h"
#include "device/whole_file.h"

#include "config/mac_address.h"
#include "log/log.h"

static const char SET_PON_MAC_COMMAND[] = "fw_setenv mv_pon_addr  ";
static const char SET_LAN_MAC_COMMAND[] = "fw_setenv ethaddr  ";

static const char PON_MAC_VARIABLE[] = "mv_pon_addr";
static const size_t PON_MAC_VARIABLE_LENGTH = sizeof PON_MAC_VARIABLE - 1;
static const size_t MAC_TEXT_LENGTH = 17;

int readBootEnvMac(std::string &mac)
{
    runShell(std::string("fw_printenv mv_pon_addr >") + MAC_SCRATCH_PATH + " ");
    std::string lines;
    if (readWholeFile(MAC_SCRATCH_PATH, lines) != 0) {
        logTrace("cannot open %s", MAC_SCRATCH_PATH);
        return -1;
    }
    int result = findBootEnvMac(lines, mac);
    runShell(std::string("rm ") + MAC_SCRATCH_PATH);
    return result;
}

int findBootEnvMac(const std::string &lines, std::string &mac)
{
    for (size_t start = 0; start < lines.size();) {
        size_t end = lines.find('\n', start);
        if (end == std::string::npos)
            end = lines.size();
        const std::string line = lines.substr(start, end - start);
        start = end + 1;
        if (line.compare(0, PON_MAC_VARIABLE_LENGTH, PON_MAC_VARIABLE) != 0)
            continue;
        size_t equals = line.find('=');
        if (equals != std::string::npos) {
            mac = line.substr(equals + 1, MAC_TEXT_LENGTH);
            return 0;
        }
    }
    return -1;
}

// A configured or typed-in MAC may carry shell text: only the strict form is
// put on the command line.
static int setBootEnvMac(const char *command, const std::string &mac)
{
    if (!isMacAddress(mac)) {
        logTrace("%snot run: the MAC is not six hexadecimal pairs", command);
        return -1;
    }
    runShell(command + mac);
    return 0;
}

int writeBootEnvPonMac(const std::string &mac) { return setBootEnvMac(SET_PON_MAC_COMMAND, mac); }

int writeBootEnvLanMac(const std::string &mac) { return setBootEnvMac(SET_LAN_MAC_COMMAND, mac); }
