// The boot-time parameter initializer. Without an argument (or with more than
// one) it reports the management address and reconciles the PON MAC of the
// boot environment with the live web configuration; with exactly one argument
// it programs that argument as the unit's new PON MAC.
#ifndef ONU_INIT_PARAMETER_INITIALIZER_H
#define ONU_INIT_PARAMETER_INITIALIZER_H

#include <string>

#include "config/config_facade.h"

class ParameterInitializer {
public:
    // Runs the mode chosen by the argument count; always returns 0.
    int run(int argc, char *argv[]);

private:
    void checkBootEnvMac();
    void programMac(const std::string &mac);

    ConfigFacade facade;
};

#endif
