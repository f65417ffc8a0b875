// Store of the traffic-processor configuration file: IPv4 MTU values, the
// transmit queues of the third transmit module, the receive queues of the
// third GMAC and the flow-control flag. Results: 0 success, -1 failure.
#ifndef ONU_CONFIG_TPM_CONFIG_STORE_H
#define ONU_CONFIG_TPM_CONFIG_STORE_H

#include <string>

struct MtuInfo {
    std::string mtuSettingEnable;
    std::string ipv4DsMtu;
    std::string ipv4UsMtu;
    std::string ipv4pppoeUsMtu;
};

// One value per queue, queue 0 first.
struct QueueValues {
    std::string queue[8];
};

class TpmConfigStore {
public:
    static TpmConfigStore *getInstance();
    explicit TpmConfigStore(std::string path);

    int getMtu(MtuInfo &info);
    // Saves the file even when nothing changed.
    int setMtu(const MtuInfo &info);
    int getSchedMethod(std::string &method);
    // Sets the method on every transmit queue; saves even when nothing changed.
    int setSchedMethod(const std::string &method);
    int setFlowControl(std::string enabled);
    // Queue reads fill at most the first eight queues and succeed without queues.
    int getQueueWeights(QueueValues &weights);
    // `queueIndex` is a decimal text, 0 for the first queue; it may reach beyond eight.
    int setQueueWeight(const std::string &queueIndex, const std::string &weight);
    int getTxQueueSizes(QueueValues &sizes);
    int setTxQueueSize(const std::string &queueIndex, const std::string &size);
    int getGmacQueueSizes(QueueValues &sizes);
    int setGmacQueueSize(const std::string &queueIndex, const std::string &size);

private:
    std::string path;
};

#endif
