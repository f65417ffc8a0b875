#include "init/parameter_initializer.h"

#include "config/mac_address.h"
#include "config/paths.h"
#include "config/web_config_store.h"
#include "device/shell_command.h"
#include "init/boot_env.h"
#include "init/default_web_config.h"
#include "log/console_line.h"
#include "log/log.h"

static const char BANNER[] = "  ***** Init Vesk Prameters **** ";
static const char FALLBACK_IP_ADDRESS[] = "192.168.1.1";
// Every vendor-default MAC, 00:50:43:02:00:00 among them, begins with this:
// such an address counts as never programmed.
static const char VENDOR_MAC_PREFIX[] = "00:50:43";
static const size_t VENDOR_MAC_PREFIX_LENGTH = sizeof VENDOR_MAC_PREFIX - 1;

static bool isVendorMac(const std::string &mac)
{
    return mac.compare(0, VENDOR_MAC_PREFIX_LENGTH, VENDOR_MAC_PREFIX) == 0;
}

int ParameterInitializer::run(int argc, char *argv[])
{
    printLine("");
    printLine("");
    printLine(BANNER);
    if (argc == 2)
        programMac(argv[1]);
    else
        checkBootEnvMac();
    return 0;
}

void ParameterInitializer::checkBootEnvMac()
{
    IpInfo info;
    bool configRead = facade.getIpInfo(info) == 0;
    printLine(" IP = " + (configRead ? info.ipAddress : std::string(FALLBACK_IP_ADDRESS)));

    std::string bootEnvMac;
    if (readBootEnvMac(bootEnvMac) == 0 && !isVendorMac(bootEnvMac)) {
        if (bootEnvMac != info.onuMac) {
            WebConfigStore::getInstance()->setOnuMac(bootEnvMac);
            printLine(" onu mac address  = " + bootEnvMac);
        }
        return;
    }

    // Resetting to a configured MAC that is itself a vendor default would
    // bring the same reset back after every reboot.
    if (isVendorMac(info.onuMac)) {
        logTrace("configured mac %s is a vendor default, no reset", info.onuMac.c_str());
        return;
    }
    // A configured MAC that is not six hexadecimal pairs is not written, and
    // a reboot would only bring the same reset back.
    if (writeBootEnvPonMac(info.onuMac) == 0)
        runShell(REBOOT_PATH);
}

void ParameterInitializer::programMac(const std::string &mac)
{
    // All or nothing: any other text would leave the boot environment and
    // the configuration disagreeing, and could carry shell commands.
    if (!isMacAddress(mac)) {
        logTrace("programming mode: the argument is not six hexadecimal pairs, nothing written");
        return;
    }
    writeBootEnvPonMac(mac);
    setDefaultConfigMac(mac);

    std::string lanMac = mac;
    nextMacAddress(lanMac);
    writeBootEnvLanMac(lanMac);

    std::string sn = macDigits(mac);
    facade.setOnuSn(sn);
    setDefaultConfigSn(sn);

    printLine("mv_pon_addr =" + mac);
}
