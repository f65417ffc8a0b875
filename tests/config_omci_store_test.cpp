// Port isolation is exercised through command 24 end to end; here the LOID
// authentication record, which no command writes alone.
#include <gtest/gtest.h>

#include <string>

#include "config/omci_mib_store.h"
#include "config_test_files.h"

namespace {

const char OMCI_CONFIG[] = R"(<omci_config>
  <OMCI_MIB>
    <ctcLOIDAuth loid="user01" password="pw01"></ctcLOIDAuth>
  </OMCI_MIB>
</omci_config>)";

TEST(OmciMibStoreTest, LoidAuthIsAlwaysRewrittenAndEscaped)
{
    TempFolder folder;
    const std::string file = folder.write("omci.xml", OMCI_CONFIG);
    OmciMibStore store(file);
    LoidInfo info;
    EXPECT_EQ(0, store.getCtcLoidAuth(info));
    EXPECT_EQ("user01", info.loid);
    EXPECT_EQ("pw01", info.password);
    EXPECT_EQ(0, store.setCtcLoidAuth(info));
    EXPECT_FALSE(untouched(file));
    EXPECT_EQ(OMCI_CONFIG, readFile(file));
    EXPECT_EQ(0, store.setCtcLoidAuth({"user02", "p\"w"}));
    EXPECT_TRUE(contains(file, R"(<ctcLOIDAuth loid="user02" password="p&quot;w">)"));

    // Without a password the caller's stays; a write adds it.
    folder.write("omci.xml", "<o><OMCI_MIB><ctcLOIDAuth loid=\"L\"/></OMCI_MIB></o>");
    info = {"", "caller"};
    EXPECT_EQ(0, store.getCtcLoidAuth(info));
    EXPECT_EQ("L", info.loid);
    EXPECT_EQ("caller", info.password);
    EXPECT_EQ(0, store.setCtcLoidAuth({"M", "P"}));
    EXPECT_EQ("<o><OMCI_MIB><ctcLOIDAuth loid=\"M\" password=\"P\"></ctcLOIDAuth></OMCI_MIB></o>",
              readFile(file));
}

}  // namespace
