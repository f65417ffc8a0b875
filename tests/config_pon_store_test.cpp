#include <gtest/gtest.h>

#include <string>

#include "config/pon_config_store.h"
#include "config_test_files.h"

namespace {

const char GPON_CONFIG[] = R"(<?xml version="1.0"?>
<gpon_config>
  <PON>
    <PON_serial_num>ZTEG12345678</PON_serial_num>
    <PON_passwd>0123456789</PON_passwd>
    <PON_serial_src>0</PON_serial_src>
  </PON>
</gpon_config>
)";

struct Field {
    const char *element;
    int (PonConfigStore::*get)(std::string &);
    int (PonConfigStore::*set)(const std::string &);
    const char *stored;
};

const Field FIELDS[] = {
    {"PON_serial_num", &PonConfigStore::getPonSerialNum, &PonConfigStore::setPonSerialNum,
     "ZTEG12345678"},
    {"PON_passwd", &PonConfigStore::getPonPasswd, &PonConfigStore::setPonPasswd, "0123456789"},
    {"PON_serial_src", &PonConfigStore::getPonSerialSrc, &PonConfigStore::setPonSerialSrc, "0"},
};

TEST(PonConfigStoreTest, ReadsAndWritesEachElement)
{
    TempFolder folder;
    for (const Field &field : FIELDS) {
        SCOPED_TRACE(field.element);
        std::string file = folder.write("gpon.xml", GPON_CONFIG);
        PonConfigStore store(file);
        std::string value;
        EXPECT_EQ(0, (store.*field.get)(value));
        EXPECT_EQ(field.stored, value);

        EXPECT_EQ(0, (store.*field.set)(field.stored));
        EXPECT_TRUE(untouched(file));

        EXPECT_EQ(0, (store.*field.set)("NEW1"));
        EXPECT_FALSE(untouched(file));
        EXPECT_EQ(0, (store.*field.get)(value));
        EXPECT_EQ("NEW1", value);
        std::string expected = GPON_CONFIG;
        expected.replace(expected.find(field.stored, expected.find(field.element)),
                         std::string(field.stored).size(), "NEW1");
        // The whole document comes back, without the declaration and final line end.
        expected = expected.substr(expected.find("<gpon_config>"));
        expected.pop_back();
        EXPECT_EQ(expected, readFile(file));
    }
}

TEST(PonConfigStoreTest, MissingElementReadsSucceedAndWritesFail)
{
    TempFolder folder;
    std::string file = folder.write("gpon.xml", "<g><PON></PON></g>");
    PonConfigStore store(file);
    for (const Field &field : FIELDS) {
        SCOPED_TRACE(field.element);
        std::string value = "keep";
        EXPECT_EQ(0, (store.*field.get)(value));
        EXPECT_EQ("keep", value);
        EXPECT_EQ(-1, (store.*field.set)("x"));
    }
    EXPECT_TRUE(untouched(file));
    EXPECT_EQ("<g><PON></PON></g>", readFile(file));
}

TEST(PonConfigStoreTest, MissingFileOrSectionFails)
{
    TempFolder folder;
    for (const std::string &file :
         {folder.write("gpon.xml", "<g><pon/></g>"), folder.path + "/missing.xml"}) {
        PonConfigStore store(file);
        for (const Field &field : FIELDS) {
            std::string value = "keep";
            EXPECT_EQ(-1, (store.*field.get)(value));
            EXPECT_EQ("keep", value);
            EXPECT_EQ(-1, (store.*field.set)("x"));
        }
    }
}

}  // namespace
