#include "config/pon_config_store.h"

#include <utility>

#include "config/paths.h"
#include "config/store_access.h"
#include "config/store_edit.h"

static const char PON_SECTION[] = "PON";

PonConfigStore *PonConfigStore::getInstance()
{
    static PonConfigStore *instance = new PonConfigStore(GPON_XML_PATH);
    return instance;
}

PonConfigStore::PonConfigStore(std::string path) : path(std::move(path)) {}

int PonConfigStore::getPonSerialNum(std::string &serialNum)
{
    return readOptionalLeafText(path, PON_SECTION, "PON_serial_num", serialNum);
}

int PonConfigStore::setPonSerialNum(const std::string &serialNum)
{
    return writeLeafText(path, PON_SECTION, "PON_serial_num", serialNum);
}

int PonConfigStore::getPonPasswd(std::string &passwd)
{
    return readOptionalLeafText(path, PON_SECTION, "PON_passwd", passwd);
}

int PonConfigStore::setPonPasswd(const std::string &passwd)
{
    return writeLeafText(path, PON_SECTION, "PON_passwd", passwd);
}

int PonConfigStore::getPonSerialSrc(std::string &serialSrc)
{
    return readOptionalLeafText(path, PON_SECTION, "PON_serial_src", serialSrc);
}

int PonConfigStore::setPonSerialSrc(const std::string &serialSrc)
{
    return writeLeafText(path, PON_SECTION, "PON_serial_src", serialSrc);
}
