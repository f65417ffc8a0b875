// The LOID authentication record as no command shows it: every write saves
// the file, also without a change, and a read without the password leaves
// the caller's.
#include <gtest/gtest.h>

#include <string>

#include "config/omci_mib_store.h"
#include "unit_support.h"

namespace {

TEST(OmciMibStoreTest, LoidAuthIsAlwaysRewritten)
{
    TempFolder folder;
    const std::string whole = "<o><OMCI_MIB><ctcLOIDAuth loid=\"L\" password=\"P\"></ctcLOIDAuth></OMCI_MIB></o>";
    const std::string file = folder.write("omci.xml", whole);
    EXPECT_EQ(0, OmciMibStore(file).setCtcLoidAuth({"L", "P"}));
    EXPECT_FALSE(untouched(file));
    EXPECT_EQ(whole, readFile(file));

    LoidInfo info = {"", "caller"};
    EXPECT_EQ(0, OmciMibStore(folder.write("bare.xml", "<o><OMCI_MIB><ctcLOIDAuth loid=\"M\"/></OMCI_MIB></o>"))
                     .getCtcLoidAuth(info));
    EXPECT_EQ("M", info.loid);
    EXPECT_EQ("caller", info.password);
}

}  // namespace
