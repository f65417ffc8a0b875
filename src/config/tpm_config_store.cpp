#include "config/tpm_config_store.h"

#include <utility>

#include "config/leading_int.h"
#include "config/paths.h"
#include "config/store_access.h"
#include "config/store_edit.h"

// Queue reads cover at most this many queues; writes may reach further.
static const int READ_QUEUE_COUNT = 8;

// Only the third transmit module and the third GMAC are shown on the web pages.
static const int TX_MODULE_INDEX = 2;
static const int GMAC_INDEX = 2;

struct MtuField {
    const char *element;
    std::string MtuInfo::*field;
};

static const MtuField MTU_FIELDS[] = {
    {"mtu_setting_enabled", &MtuInfo::mtuSettingEnable},
    {"ipv4_mtu_ds", &MtuInfo::ipv4DsMtu},
    {"ipv4_mtu_us", &MtuInfo::ipv4UsMtu},
    {"ipv4_pppoe_mtu_us", &MtuInfo::ipv4pppoeUsMtu},
};

// First queue of a sequence below `port_init`, or none.
using QueueFinder = XmlNode *(*)(XmlNode *portInit);

static XmlNode *firstTxQueue(XmlNode *portInit)
{
    XmlNode *txMod = xmlIndex(xmlChild(xmlChild(portInit, "tx_module_parameters"), "tx_mod"), TX_MODULE_INDEX);
    return xmlChild(xmlChild(txMod, "queue_map"), "queue");
}

static XmlNode *firstGmacQueue(XmlNode *portInit)
{
    XmlNode *gmac =
        xmlIndex(xmlChild(xmlChild(xmlChild(portInit, "gmac_config"), "gmac_rx_queues"), "gmac"), GMAC_INDEX);
    return xmlChild(gmac, "queue");
}

// Copies attribute `name` of the first queues into `values`.
static int readQueues(const std::string &path, QueueFinder findFirst, const char *name, QueueValues &values)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *portInit = xmlChild(doc.get(), "port_init");
    if (!portInit)
        return -1;
    XmlNode *queue = findFirst(portInit);
    for (int i = 0; queue && i < READ_QUEUE_COUNT; ++i, queue = queue->next)
        copyAttr(queue, name, values.queue[i]);
    return 0;
}

// Sets attribute `name` of the queue whose decimal index is `queueIndex`;
// the file is rewritten even when it holds the value.
static int writeQueue(const std::string &path, QueueFinder findFirst, const std::string &queueIndex, const char *name,
                      const std::string &value)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *queue = xmlIndex(findFirst(xmlChild(root, "port_init")), leadingInt(queueIndex));
            return alwaysSaved(setAttr(queue, name, value));
        });
}

TpmConfigStore *TpmConfigStore::getInstance()
{
    static TpmConfigStore *instance = new TpmConfigStore(TPM_XML_PATH);
    return instance;
}

TpmConfigStore::TpmConfigStore(std::string path) : path(std::move(path)) {}

int TpmConfigStore::getMtu(MtuInfo &info)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *mtuSetting = xmlChild(doc.get(), "mtu_setting");
    if (!mtuSetting)
        return -1;
    for (const MtuField &mtu : MTU_FIELDS)
        copyText(xmlChild(mtuSetting, mtu.element), info.*mtu.field);
    return 0;
}

int TpmConfigStore::setMtu(const MtuInfo &info)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *mtuSetting = xmlChild(root, "mtu_setting");
            if (!mtuSetting)
                return Edit::NOT_FOUND;
            // A missing value element is skipped; the file is saved in any case.
            for (const MtuField &mtu : MTU_FIELDS)
                setText(xmlChild(mtuSetting, mtu.element), info.*mtu.field);
            return Edit::CHANGED;
        });
}

int TpmConfigStore::getSchedMethod(std::string &method)
{
    DocumentHandle doc = openDocument(path);
    XmlNode *portInit = xmlChild(doc.get(), "port_init");
    if (!portInit)
        return -1;
    const char *value = xmlAttr(firstTxQueue(portInit), "sched_method");
    if (!value)
        return -1;
    method = value;
    return 0;
}

int TpmConfigStore::setSchedMethod(const std::string &method)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *portInit = xmlChild(root, "port_init");
            if (!portInit)
                return Edit::NOT_FOUND;
            // Saved even without a queue to set.
            for (XmlNode *queue = firstTxQueue(portInit); queue; queue = queue->next)
                setAttr(queue, "sched_method", method);
            return Edit::CHANGED;
        });
}

int TpmConfigStore::setFlowControl(std::string enabled)
{
    return editDocument(
        path,
        [&](XmlNode *root) {
            XmlNode *flowControl = xmlChild(root, "flow_control");
            if (!flowControl)
                return Edit::NOT_FOUND;
            // Without an `enabled` element there is nothing to write, and no failure.
            XmlNode *element = xmlChild(flowControl, "enabled");
            return element ? setText(element, enabled) : Edit::UNCHANGED;
        });
}

int TpmConfigStore::getQueueWeights(QueueValues &weights) { return readQueues(path, firstTxQueue, "weight", weights); }

int TpmConfigStore::setQueueWeight(const std::string &queueIndex, const std::string &weight)
{
    return writeQueue(path, firstTxQueue, queueIndex, "weight", weight);
}

int TpmConfigStore::getTxQueueSizes(QueueValues &sizes) { return readQueues(path, firstTxQueue, "size", sizes); }

int TpmConfigStore::setTxQueueSize(const std::string &queueIndex, const std::string &size)
{
    return writeQueue(path, firstTxQueue, queueIndex, "size", size);
}

int TpmConfigStore::getGmacQueueSizes(QueueValues &sizes) { return readQueues(path, firstGmacQueue, "size", sizes); }

int TpmConfigStore::setGmacQueueSize(const std::string &queueIndex, const std::string &size)
{
    return writeQueue(path, firstGmacQueue, queueIndex, "size", size);
}
