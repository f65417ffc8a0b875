#include <gtest/gtest.h>

#include <string>

#include "config/pon_config_store.h"
#include "config_test_files.h"

namespace {

const std::string ROOT = "<gpon_config><PON><PON_serial_num>ZTEG12345678</PON_serial_num>"
                         "<PON_passwd>0123456789</PON_passwd><PON_serial_src>0</PON_serial_src>"
                         "</PON></gpon_config>";

struct Field {
    int (PonConfigStore::*get)(std::string &);
    int (PonConfigStore::*set)(const std::string &);
    std::string stored;
};

const Field FIELDS[] = {
    {&PonConfigStore::getPonSerialNum, &PonConfigStore::setPonSerialNum, "ZTEG12345678"},
    {&PonConfigStore::getPonPasswd, &PonConfigStore::setPonPasswd, "0123456789"},
    {&PonConfigStore::getPonSerialSrc, &PonConfigStore::setPonSerialSrc, "0"},
};

// Each write skips an equal value, and otherwise saves the whole document
// (without the declaration and the final line end) with only its element
// changed. Without the element a read leaves the value and a write fails.
TEST(PonConfigStoreTest, ReadsAndWritesEachElement)
{
    TempFolder folder;
    for (const Field &field : FIELDS) {
        const std::string file = folder.write("gpon.xml", "<?xml version=\"1.0\"?>\n" + ROOT + "\n");
        PonConfigStore store(file);
        std::string value;
        EXPECT_EQ(0, (store.*field.get)(value));
        EXPECT_EQ(field.stored, value);
        EXPECT_EQ(0, (store.*field.set)(field.stored));
        EXPECT_TRUE(untouched(file)) << field.stored;
        EXPECT_EQ(0, (store.*field.set)("NEW1"));
        std::string expected = ROOT;
        EXPECT_EQ(expected.replace(expected.find(">" + field.stored + "<") + 1, field.stored.size(), "NEW1"),
                  readFile(file));

        PonConfigStore empty(folder.write("empty.xml", "<g><PON></PON></g>"));
        value = "keep";
        EXPECT_EQ(0, (empty.*field.get)(value));
        EXPECT_EQ("keep", value);
        EXPECT_EQ(-1, (empty.*field.set)("x"));
        EXPECT_TRUE(untouched(folder.path + "/empty.xml"));
    }
}

}  // namespace
