// Store of the GPON configuration file: PON serial number, password and the
// source of the serial number. Results: 0 success, -1 failure.
#ifndef ONU_CONFIG_PON_CONFIG_STORE_H
#define ONU_CONFIG_PON_CONFIG_STORE_H

#include <string>

class PonConfigStore {
public:
    static PonConfigStore *getInstance();
    explicit PonConfigStore(std::string path);

    // Reads succeed with the text unchanged when the element is missing.
    int getPonSerialNum(std::string &serialNum);
    int setPonSerialNum(const std::string &serialNum);
    int getPonPasswd(std::string &passwd);
    int setPonPasswd(const std::string &passwd);
    int getPonSerialSrc(std::string &serialSrc);
    int setPonSerialSrc(const std::string &serialSrc);

private:
    std::string path;
};

#endif
