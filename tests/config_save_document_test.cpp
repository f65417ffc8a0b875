#include <unistd.h>

#include <iterator>

#include "config/save_document.h"
#include "config/store_access.h"
#include "unit_support.h"

// Parses `file`, sets the text of its first child `a` and saves it to `target`.
static void rewrite(const std::string &file, const std::string &target)
{
    DocumentHandle doc = openDocument(file);
    xmlSetText(xmlChild(doc.get(), "a"), "2");
    saveDocument(target, doc.get());
}

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
    EXPECT_EQ(3, std::distance(std::filesystem::directory_iterator(folder.path), {}));
}
