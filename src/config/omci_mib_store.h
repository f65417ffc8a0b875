// Store of the OMCI configuration file: LOID authentication identity and the
// Ethernet port isolation flag. Results: 0 success, -1 failure.
#ifndef ONU_CONFIG_OMCI_MIB_STORE_H
#define ONU_CONFIG_OMCI_MIB_STORE_H

#include <string>

#include "config/web_config_store.h"

class OmciMibStore {
public:
    static OmciMibStore *getInstance();
    explicit OmciMibStore(std::string path);

    int getCtcLoidAuth(LoidInfo &info);
    int setCtcLoidAuth(const LoidInfo &info);
    int getPortIsolation(std::string &enabled);
    int setPortIsolation(const std::string &enabled);

private:
    std::string path;
};

#endif
