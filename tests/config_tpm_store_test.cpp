#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/tpm_config_store.h"
#include "config_test_files.h"

namespace {

// Transmit module 2 has ten queues; GMAC 2 has three.
const char TPM_CONFIG[] = R"(<tpm>
  <mtu_setting>
    <mtu_setting_enabled>1</mtu_setting_enabled>
    <ipv4_mtu_ds>1500</ipv4_mtu_ds>
    <ipv4_mtu_us>1500</ipv4_mtu_us>
    <ipv4_pppoe_mtu_us>1492</ipv4_pppoe_mtu_us>
  </mtu_setting>
  <port_init>
    <tx_module_parameters>
      <tx_mod><queue_map><queue sched_method="SP" weight="9" size="9"></queue></queue_map></tx_mod>
      <tx_mod><queue_map><queue sched_method="SP" weight="9" size="9"></queue></queue_map></tx_mod>
      <tx_mod><queue_map>
        <queue sched_method="SP" weight="0" size="100"></queue>
        <queue sched_method="SP" weight="1" size="101"></queue>
        <queue sched_method="SP" size="102"></queue>
        <queue sched_method="SP" weight="3" size="103"></queue>
        <queue sched_method="SP" weight="4" size="104"></queue>
        <queue sched_method="SP" weight="5" size="105"></queue>
        <queue sched_method="SP" weight="6" size="106"></queue>
        <queue sched_method="SP" weight="7" size="107"></queue>
        <queue sched_method="SP" weight="8" size="108"></queue>
        <queue sched_method="SP" weight="9" size="109"></queue>
      </queue_map></tx_mod>
    </tx_module_parameters>
    <gmac_config>
      <gmac_rx_queues>
        <gmac><queue size="1"></queue></gmac>
        <gmac><queue size="2"></queue></gmac>
        <gmac><queue size="30"></queue><queue size="31"></queue><queue size="32"></queue></gmac>
      </gmac_rx_queues>
    </gmac_config>
  </port_init>
  <flow_control>
    <enabled>0</enabled>
  </flow_control>
</tpm>)";

// Only two transmit modules and a flow_control without `enabled`.
const char SHORT_TPM_CONFIG[] = R"(<tpm><port_init><tx_module_parameters>
  <tx_mod><queue_map><queue weight="1"/></queue_map></tx_mod>
  <tx_mod><queue_map><queue weight="2"/></queue_map></tx_mod>
</tx_module_parameters></port_init><flow_control/></tpm>)";

int occurrences(const std::string &text, const std::string &piece)
{
    int count = 0;
    for (size_t pos = text.find(piece); pos != std::string::npos; pos = text.find(piece, pos + 1)) {
        ++count;
    }
    return count;
}

class TpmConfigStoreTest : public ::testing::Test {
protected:
    TpmConfigStoreTest() : file(folder.write("tpm.xml", TPM_CONFIG)), store(file) {}

    TempFolder folder;
    std::string file;
    TpmConfigStore store;
};

TEST_F(TpmConfigStoreTest, MtuIsSavedEvenWithoutChange)
{
    MtuInfo mtu;
    EXPECT_EQ(0, store.getMtu(mtu));
    EXPECT_EQ((std::vector<std::string>{"1", "1500", "1500", "1492"}),
              (std::vector<std::string>{mtu.mtuSettingEnable, mtu.ipv4DsMtu, mtu.ipv4UsMtu,
                                        mtu.ipv4pppoeUsMtu}));
    EXPECT_EQ(0, store.setMtu(mtu));
    EXPECT_FALSE(untouched(file));
    EXPECT_EQ(TPM_CONFIG, readFile(file));

    mtu.ipv4UsMtu = "1400";
    EXPECT_EQ(0, store.setMtu(mtu));
    EXPECT_NE(std::string::npos, readFile(file).find("<ipv4_mtu_us>1400</ipv4_mtu_us>"));
}

TEST_F(TpmConfigStoreTest, QueueReadsStopAtEight)
{
    QueueValues weights;
    weights.queue[2] = "keep";
    EXPECT_EQ(0, store.getQueueWeights(weights));
    const char *expectedWeights[] = {"0", "1", "keep", "3", "4", "5", "6", "7"};
    QueueValues sizes;
    EXPECT_EQ(0, store.getTxQueueSizes(sizes));
    QueueValues gmac;
    gmac.queue[5] = "keep";
    EXPECT_EQ(0, store.getGmacQueueSizes(gmac));
    const char *expectedGmac[] = {"30", "31", "32", "", "", "keep", "", ""};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expectedWeights[i], weights.queue[i]);
        EXPECT_EQ(std::to_string(100 + i), sizes.queue[i]);
        EXPECT_EQ(expectedGmac[i], gmac.queue[i]);
    }
}

TEST_F(TpmConfigStoreTest, QueueWritesReachAnyIndex)
{
    EXPECT_EQ(0, store.setQueueWeight("9", "90"));
    EXPECT_NE(std::string::npos, readFile(file).find(R"(weight="90" size="109")"));
    EXPECT_EQ(0, store.setQueueWeight("2", "20"));
    EXPECT_NE(std::string::npos,
              readFile(file).find(R"(<queue sched_method="SP" size="102" weight="20">)"));
    EXPECT_EQ(0, store.setTxQueueSize("0", "200"));
    EXPECT_EQ(0, store.setGmacQueueSize("2", "320"));
    QueueValues sizes, gmac;
    store.getTxQueueSizes(sizes);
    store.getGmacQueueSizes(gmac);
    EXPECT_EQ("200", sizes.queue[0]);
    EXPECT_EQ("320", gmac.queue[2]);
    EXPECT_EQ("30", gmac.queue[0]);

    // Without the last two queues, the map holds eight.
    std::string eightConfig = TPM_CONFIG;
    size_t ninth = eightConfig.find("        <queue sched_method=\"SP\" weight=\"8\"");
    eightConfig.erase(ninth, eightConfig.find("      </queue_map>", ninth) - ninth);
    std::string eightQueues = folder.write("eight.xml", eightConfig);
    TpmConfigStore eight(eightQueues);
    EXPECT_EQ(-1, eight.setQueueWeight("8", "1"));
    EXPECT_EQ(-1, eight.setQueueWeight("-1", "1"));
    EXPECT_EQ(-1, eight.setGmacQueueSize("3", "1"));
    EXPECT_EQ(0, eight.getQueueWeights(sizes));
    EXPECT_EQ("7", sizes.queue[7]);
    EXPECT_TRUE(untouched(eightQueues));
}

TEST_F(TpmConfigStoreTest, SchedMethodOnEveryQueueOfTheThirdModule)
{
    std::string method;
    EXPECT_EQ(0, store.getSchedMethod(method));
    EXPECT_EQ("SP", method);
    EXPECT_EQ(0, store.setSchedMethod("WRR"));
    std::string written = readFile(file);
    EXPECT_EQ(10, occurrences(written, R"(sched_method="WRR")"));
    EXPECT_EQ(2, occurrences(written, R"(sched_method="SP")"));  // the other modules
}

TEST_F(TpmConfigStoreTest, FlowControl)
{
    EXPECT_EQ(0, store.setFlowControl("0"));
    EXPECT_TRUE(untouched(file));
    EXPECT_EQ(0, store.setFlowControl("1"));
    EXPECT_NE(std::string::npos, readFile(file).find("<enabled>1</enabled>"));
}

TEST_F(TpmConfigStoreTest, ShortFile)
{
    std::string shortFile = folder.write("short.xml", SHORT_TPM_CONFIG);
    TpmConfigStore s(shortFile);
    QueueValues values;
    values.queue[0] = "keep";
    EXPECT_EQ(0, s.getTxQueueSizes(values));
    EXPECT_EQ(0, s.getQueueWeights(values));
    EXPECT_EQ(0, s.getGmacQueueSizes(values));
    EXPECT_EQ("keep", values.queue[0]);
    std::string method = "keep";
    EXPECT_EQ(-1, s.getSchedMethod(method));
    EXPECT_EQ("keep", method);
    EXPECT_EQ(-1, s.setTxQueueSize("0", "1"));
    EXPECT_EQ(0, s.setFlowControl("1"));  // no `enabled`: nothing written
    EXPECT_TRUE(untouched(shortFile));

    MtuInfo mtu{"a", "b", "c", "d"};
    EXPECT_EQ(-1, s.getMtu(mtu));
    EXPECT_EQ(-1, s.setMtu(mtu));
    EXPECT_EQ("a", mtu.mtuSettingEnable);
    EXPECT_EQ(0, s.setSchedMethod("WRR"));  // no queue, but saved
    EXPECT_FALSE(untouched(shortFile));
}

TEST_F(TpmConfigStoreTest, MissingFileOrSectionsFail)
{
    std::string empty = folder.write("empty.xml", "<tpm><other/></tpm>");
    for (const std::string &target : {empty, folder.path + "/missing.xml"}) {
        TpmConfigStore s(target);
        MtuInfo mtu;
        QueueValues values;
        std::string text;
        EXPECT_EQ(-1, s.getMtu(mtu));
        EXPECT_EQ(-1, s.setMtu(mtu));
        EXPECT_EQ(-1, s.getSchedMethod(text));
        EXPECT_EQ(-1, s.setSchedMethod("x"));
        EXPECT_EQ(-1, s.setFlowControl("1"));
        EXPECT_EQ(-1, s.getQueueWeights(values));
        EXPECT_EQ(-1, s.setQueueWeight("0", "1"));
        EXPECT_EQ(-1, s.getTxQueueSizes(values));
        EXPECT_EQ(-1, s.setTxQueueSize("0", "1"));
        EXPECT_EQ(-1, s.getGmacQueueSizes(values));
        EXPECT_EQ(-1, s.setGmacQueueSize("0", "1"));
    }
    EXPECT_TRUE(untouched(empty));
}

}  // namespace
