#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "config/save_document.h"
#include "config/store_access.h"
#include "config_test_files.h"

namespace {

// Parses `file`, sets the text of its first child `leaf` and saves it to `target`.
void rewrite(const std::string &file, const std::string &target, const char *leaf,
             const std::string &text)
{
    DocumentHandle doc = openDocument(file);
    xmlSetText(xmlChild(doc.get(), leaf), text.c_str());
    saveDocument(target, doc.get());
}

size_t filesIn(const std::string &folder)
{
    size_t count = 0;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++count;
    }
    return count;
}

TEST(SaveDocumentTest, ReplacesTheWholeFileAndLeavesNoTemporary)
{
    TempFolder folder;
    std::string file = folder.write("cfg.xml", "<?xml version=\"1.0\"?>\n<c>\n <a>1</a>\n</c>\n");
    chmod(file.c_str(), 0640);
    rewrite(file, file, "a", "2");
    EXPECT_EQ("<c>\n <a>2</a>\n</c>", readFile(file));
    struct stat status;
    ASSERT_EQ(0, stat(file.c_str(), &status));
    EXPECT_EQ(0640u, status.st_mode & 07777);
    EXPECT_EQ(1u, filesIn(folder.path));
}

TEST(SaveDocumentTest, WritesThroughSymbolicLink)
{
    TempFolder folder;
    std::string real = folder.write("real.xml", "<c><a>1</a></c>");
    std::string link = folder.path + "/link.xml";
    ASSERT_EQ(0, symlink(real.c_str(), link.c_str()));
    rewrite(link, link, "a", "2");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ("<c><a>2</a></c>", readFile(real));
    EXPECT_EQ(2u, filesIn(folder.path));
}

TEST(SaveDocumentTest, NothingToWriteOrNowhereToWrite)
{
    TempFolder folder;
    std::string file = folder.write("cfg.xml", "not xml");
    DocumentHandle doc = openDocument(file);
    saveDocument(file, doc.get());  // no root element: empty serialisation
    EXPECT_TRUE(untouched(file));
    EXPECT_EQ("not xml", readFile(file));

    std::string good = folder.write("good.xml", "<c><a>1</a></c>");
    std::string unreachable = folder.path + "/no/such/folder/cfg.xml";
    rewrite(good, unreachable, "a", "2");
    EXPECT_FALSE(std::filesystem::exists(folder.path + "/no"));
    EXPECT_EQ(2u, filesIn(folder.path));
}

}  // namespace
