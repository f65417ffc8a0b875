#include <gtest/gtest.h>

#include <string>

#include "config/omci_mib_store.h"
#include "config_test_files.h"

namespace {

const char OMCI_CONFIG[] = R"(<omci_config>
  <OMCI_MIB>
    <ctcLOIDAuth loid="user01" password="pw01"></ctcLOIDAuth>
    <ethPortIsolated enabled="0"></ethPortIsolated>
  </OMCI_MIB>
</omci_config>)";

TEST(OmciMibStoreTest, LoidAuthIsAlwaysRewritten)
{
    TempFolder folder;
    std::string file = folder.write("omci.xml", OMCI_CONFIG);
    OmciMibStore store(file);
    LoidInfo info;
    EXPECT_EQ(0, store.getCtcLoidAuth(info));
    EXPECT_EQ("user01", info.loid);
    EXPECT_EQ("pw01", info.password);

    EXPECT_EQ(0, store.setCtcLoidAuth(info));
    EXPECT_FALSE(untouched(file));
    EXPECT_EQ(OMCI_CONFIG, readFile(file));

    EXPECT_EQ(0, store.setCtcLoidAuth({"user02", "p\"w"}));
    EXPECT_NE(std::string::npos,
              readFile(file).find(R"(<ctcLOIDAuth loid="user02" password="p&quot;w">)"));
}

TEST(OmciMibStoreTest, LoidAuthWithOnlyLoid)
{
    TempFolder folder;
    std::string file =
        folder.write("omci.xml", "<o><OMCI_MIB><ctcLOIDAuth loid=\"L\"/></OMCI_MIB></o>");
    OmciMibStore store(file);
    LoidInfo info{"", "caller"};
    EXPECT_EQ(0, store.getCtcLoidAuth(info));
    EXPECT_EQ("L", info.loid);
    EXPECT_EQ("caller", info.password);

    EXPECT_EQ(0, store.setCtcLoidAuth({"M", "P"}));
    EXPECT_EQ("<o><OMCI_MIB><ctcLOIDAuth loid=\"M\" password=\"P\"></ctcLOIDAuth></OMCI_MIB></o>",
              readFile(file));
}

TEST(OmciMibStoreTest, PortIsolationSkipsEqualFlag)
{
    TempFolder folder;
    std::string file = folder.write("omci.xml", OMCI_CONFIG);
    OmciMibStore store(file);
    EXPECT_EQ(0, store.setPortIsolation("0"));
    EXPECT_TRUE(untouched(file));
    EXPECT_EQ(0, store.setPortIsolation("1"));
    std::string enabled;
    EXPECT_EQ(0, store.getPortIsolation(enabled));
    EXPECT_EQ("1", enabled);

    std::string bare = folder.write("bare.xml", "<o><OMCI_MIB><ethPortIsolated/></OMCI_MIB></o>");
    OmciMibStore bareStore(bare);
    enabled = "keep";
    EXPECT_EQ(0, bareStore.getPortIsolation(enabled));
    EXPECT_EQ("keep", enabled);
    EXPECT_EQ(0, bareStore.setPortIsolation("1"));
    EXPECT_EQ(0, bareStore.getPortIsolation(enabled));
    EXPECT_EQ("1", enabled);
}

TEST(OmciMibStoreTest, MissingFileOrElementsFail)
{
    TempFolder folder;
    const std::string contents[] = {"<o/>", "<o><OMCI_MIB/></o>", "<o><OMCI_MIB>"};
    for (const std::string &content : contents) {
        std::string file = folder.write("omci.xml", content);
        for (const std::string &target : {file, folder.path + "/missing.xml"}) {
            OmciMibStore store(target);
            LoidInfo info{"a", "b"};
            std::string enabled = "c";
            EXPECT_EQ(-1, store.getCtcLoidAuth(info));
            EXPECT_EQ(-1, store.setCtcLoidAuth(info));
            EXPECT_EQ(-1, store.getPortIsolation(enabled));
            EXPECT_EQ(-1, store.setPortIsolation("1"));
            EXPECT_EQ("a", info.loid);
            EXPECT_EQ("c", enabled);
        }
        EXPECT_TRUE(untouched(file));
    }
}

}  // namespace
