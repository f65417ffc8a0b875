#include <gtest/gtest.h>

#include <string>

#include "config/pon_config_store.h"
#include "config_test_files.h"

namespace {

const std::string ROOT = "<gpon_config><PON><PON_serial_num>ZTEG12345678</PON_serial_num>"
                         "<PON_passwd>0123456789</PON_passwd><PON_serial_src>0</PON_serial_src>"
                         "</PON></gpon_config>";

// A write skips an equal value, and otherwise saves the whole document
// (without the declaration and the final line end) with only its element
// changed. Without the element a read leaves the value and a write fails.
// The other PON fields share these paths and are pinned end to end.
TEST(PonConfigStoreTest, ReadsAndWritesItsElement)
{
    TempFolder folder;
    const std::string file = folder.write("gpon.xml", "<?xml version=\"1.0\"?>\n" + ROOT + "\n");
    PonConfigStore store(file);
    std::string value;
    EXPECT_EQ(0, store.getPonPasswd(value));
    EXPECT_EQ("0123456789", value);
    EXPECT_EQ(0, store.setPonPasswd("0123456789"));
    EXPECT_TRUE(untouched(file));
    EXPECT_EQ(0, store.setPonPasswd("NEW1"));
    std::string expected = ROOT;
    EXPECT_EQ(expected.replace(expected.find("0123456789"), 10, "NEW1"), readFile(file));

    PonConfigStore empty(folder.write("empty.xml", "<g><PON></PON></g>"));
    value = "keep";
    EXPECT_EQ(0, empty.getPonPasswd(value));
    EXPECT_EQ("keep", value);
    EXPECT_EQ(-1, empty.setPonPasswd("x"));
    EXPECT_TRUE(untouched(folder.path + "/empty.xml"));
}

}  // namespace
