#include "init/default_web_config.h"

#include "config/paths.h"
#include "config/resource_lock.h"
#include "config/web_config_store.h"
#include "device/shell_command.h"
#include "log/log.h"

// The default file has the live file's layout, so the web store's operations
// serve it when pointed at its path.
static WebConfigStore defaultWebConfig() { return WebConfigStore(DEFAULT_WEB_XML_PATH); }

int setDefaultConfigMac(const std::string &mac)
{
    if (defaultWebConfig().setOnuMac(mac) != 0)
        return -1;
    // The copy rewrites the live file in place: no store write may run meanwhile.
    ResourceLock liveLock(WEB_XML_PATH);
    if (!liveLock.held()) {
        logTrace("cannot lock %s, not refreshed", WEB_XML_PATH);
        return -1;
    }
    runShell(std::string("cp -f ") + DEFAULT_WEB_XML_PATH + "  " + WEB_XML_DIR);
    return 0;
}

int setDefaultConfigSn(const std::string &sn) { return defaultWebConfig().setOnuSn(sn); }
