#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "config/save_document.h"
#include "config/store_access.h"
#include "unit_support.h"

namespace {

// Parses `file`, sets the text of its first child `a` and saves it to `target`.
void rewrite(const std::string &file, const std::string &target)
{
    DocumentHandle doc = openDocument(file);
    xmlSetText(xmlChild(doc.get(), "a"), "2");
    saveDocument(target, doc.get());
}

long filesIn(const std::string &folder) { return std::distance(std::filesystem::directory_iterator(folder), {}); }

// The file is replaced whole, keeps its mode, and no temporary stays behind;
// through a symbolic link the link stays and its target changes.
TEST(SaveDocumentTest, ReplacesTheWholeFile)
{
    TempFolder folder;
    const std::string file = folder.write("cfg.xml", "<?xml version=\"1.0\"?>\n<c>\n <a>1</a>\n</c>\n");
    chmod(file.c_str(), 0640);
    rewrite(file, file);
    EXPECT_EQ("<c>\n <a>2</a>\n</c>", readFile(file));
    struct stat status;
    ASSERT_EQ(0, stat(file.c_str(), &status));
    EXPECT_EQ(0640u, status.st_mode & 07777);

    const std::string real = folder.write("real.xml", "<c><a>1</a></c>");
    const std::string link = folder.path + "/link.xml";
    ASSERT_EQ(0, symlink(real.c_str(), link.c_str()));
    rewrite(link, link);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ("<c><a>2</a></c>", readFile(real));
    EXPECT_EQ(3, filesIn(folder.path));
}

TEST(SaveDocumentTest, NothingToWriteOrNowhereToWrite)
{
    TempFolder folder;
    const std::string file = folder.write("cfg.xml", "not xml");
    DocumentHandle doc = openDocument(file);
    saveDocument(file, doc.get());  // no root element: empty serialisation
    EXPECT_TRUE(untouched(file));
    EXPECT_EQ("not xml", readFile(file));

    rewrite(folder.write("good.xml", "<c><a>1</a></c>"), folder.path + "/no/such/folder/cfg.xml");
    EXPECT_FALSE(std::filesystem::exists(folder.path + "/no"));
    EXPECT_EQ(2, filesIn(folder.path));
}

}  // namespace
