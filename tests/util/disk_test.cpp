#include "util/file_path.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

using testing_support::readFile;
using testing_support::writeFile;

class Disk : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("lib/sub/deeper"));
        writeFile(dir.file("lib/b.TXT"), "bb");
        writeFile(dir.file("lib/a.txt"), "a");
        writeFile(dir.file("lib/c.jpg"), "ccc");
        writeFile(dir.file("lib/.hidden.txt"), "h");
        writeFile(dir.file("lib/sub/d.txt"), "dddd");
        writeFile(dir.file("lib/sub/deeper/e.txt"), "eeeee");
    }
    std::string p(const std::string& name) const { return dir.file(name); }
    testing_support::TempDir dir;
    clsFilePath fp;
};

TEST_F(Disk, ExistenceSizesAndCounts) {
    EXPECT_TRUE(fp.fileExist(p("lib/a.txt")));
    EXPECT_FALSE(fp.fileExist(p("lib/sub")));
    EXPECT_TRUE(fp.pathExist(p("lib\\sub")));  // backslashes separate too
    EXPECT_EQ(fp.filesize(p("lib/c.jpg")), 3);
    EXPECT_EQ(fp.getFileAttr(p("lib/missing")), -1);
    EXPECT_EQ(fp.getFileAttr(p("lib/sub")) & 16, 16);
    EXPECT_EQ(fp.subFilecount(p("lib")), 4);
    EXPECT_EQ(fp.subPathCount(p("lib")), 1);
    EXPECT_EQ(fp.pathTotalsubFiles(p("lib")), 6);
    EXPECT_EQ(fp.pathTotalsubPaths(p("lib")), 2);
    EXPECT_EQ(fp.pathTotalSize(p("lib")), 2 + 1 + 3 + 1 + 4 + 5);
    EXPECT_FALSE(fp.pathIsNull(p("lib")));
    EXPECT_TRUE(fp.pathIsNull(p("lib/missing")));
    fs::create_directory(p("empty"));
    EXPECT_TRUE(fp.pathIsNull(p("empty")));
    EXPECT_EQ(fp.parentPath(p("lib/sub/")), p("lib"));
    EXPECT_EQ(fp.parentPath(p("lib/missing")), "");
    EXPECT_EQ(fp.parentPath("/"), "");
}

TEST_F(Disk, ListingsByExtension) {
    std::vector<std::string> list{"stale"};
    EXPECT_EQ(fp.getAllFnameInPath(p("lib"), "txt", list, false), 2);
    EXPECT_EQ(list, (std::vector<std::string>{"a.txt", "b.TXT"}));
    EXPECT_EQ(fp.getAllFnameInPath(p("lib/"), "*", list, true), 3);
    EXPECT_EQ(list.front(), p("lib/a.txt"));
    EXPECT_EQ(fp.getAllPathInPath(p("lib/"), list, false), 1);
    EXPECT_EQ(list, (std::vector<std::string>{"sub"}));
    EXPECT_EQ(fp.AllFiles(p("lib/missing"), list, true), 0);
    EXPECT_TRUE(list.empty());
}

TEST_F(Disk, CopyMoveRenameReportTheOutcome) {
    EXPECT_TRUE(fp.copyFile(p("lib/a.txt"), p("lib/sub"), false));  // into the folder
    EXPECT_EQ(readFile(p("lib/sub/a.txt")), "a");
    EXPECT_FALSE(fp.copyFile(p("lib/b.TXT"), p("lib/sub/a.txt"), false));
    EXPECT_TRUE(fp.copyFile(p("lib/b.TXT"), p("lib/sub/a.txt"), true));
    EXPECT_EQ(readFile(p("lib/sub/a.txt")), "bb");
    EXPECT_FALSE(fp.copyFile(p("lib/missing"), p("lib/x"), true));

    EXPECT_TRUE(fp.copyPath(p("lib/sub"), p("copy"), false));
    EXPECT_EQ(readFile(p("copy/sub/deeper/e.txt")), "eeeee");

    EXPECT_TRUE(fp.moveFileToPath(p("lib/c.jpg"), p("copy")));
    EXPECT_TRUE(fp.fileExist(p("copy/c.jpg")));
    EXPECT_FALSE(fp.fileExist(p("lib/c.jpg")));
    EXPECT_TRUE(fp.movePath(p("copy/sub"), p("moved")));
    EXPECT_TRUE(fp.pathExist(p("moved/deeper")));

    EXPECT_TRUE(fp.renameFile(p("lib/a.txt"), "renamed.txt"));
    EXPECT_TRUE(fp.fileExist(p("lib/renamed.txt")));
    EXPECT_TRUE(fp.changeFileExt(p("lib/renamed.txt"), "htm"));
    EXPECT_TRUE(fp.fileExist(p("lib/renamed.htm")));
    EXPECT_TRUE(fp.renamePath(p("moved"), "again"));
    EXPECT_TRUE(fp.pathExist(p("again")));
    EXPECT_FALSE(fp.renameFile(p("lib/renamed.htm"), "b.TXT"));  // never over another file
}

TEST_F(Disk, CreatingKeepsExistingContents) {
    EXPECT_TRUE(fp.createPath(p("new\\one/two")));
    EXPECT_TRUE(fp.pathExist(p("new/one/two")));
    EXPECT_TRUE(fp.createFilex(p("lib/a.txt")));
    EXPECT_EQ(readFile(p("lib/a.txt")), "a");
    fp.createNullFile(p("new/empty.txt"));
    EXPECT_TRUE(fp.fileExist(p("new/empty.txt")));
}

TEST_F(Disk, DeletionsVerifyAndRespectReadOnly) {
    fs::permissions(p("lib/a.txt"), fs::perms::owner_read, fs::perm_options::replace);
    EXPECT_FALSE(fp.delFile(p("lib/a.txt"), false));
    EXPECT_TRUE(fp.fileExist(p("lib/a.txt")));
    EXPECT_TRUE(fp.delFile(p("lib/a.txt"), true));
    EXPECT_TRUE(fp.delFile(p("lib/missing"), false));
    fs::permissions(p("lib/sub/d.txt"), fs::perms::owner_read, fs::perm_options::replace);
    EXPECT_FALSE(fp.deletePath(p("lib/sub"), false));
    EXPECT_TRUE(fp.deletePath(p("lib/sub"), true));
    EXPECT_FALSE(fp.pathExist(p("lib/sub")));
}

TEST_F(Disk, BackupsTakeTheNextFreeNumber) {
    writeFile(p("lib/notes.txt"), "n");
    EXPECT_TRUE(fp.backupFile(p("lib/notes.txt")));
    EXPECT_TRUE(fp.backupFile(p("lib/notes.txt")));
    EXPECT_EQ(readFile(p("lib/notes01.bak")), "n");
    EXPECT_TRUE(fp.fileExist(p("lib/notes02.bak")));
    EXPECT_FALSE(fp.backupFile(p("lib/missing.txt")));
}

TEST_F(Disk, NumberedNamesAndSystemTemporaryFiles) {
    EXPECT_EQ(fp.getNewFileNameByNum(p("lib/a.txt"), 3), p("lib/001_a.txt"));
    writeFile(p("lib/001_a.txt"), "");
    EXPECT_EQ(fp.getNewFileNameByNum(p("lib/a.txt"), 3), p("lib/002_a.txt"));

    std::string made = fp.GetTempFile("", "vyn");
    EXPECT_TRUE(fp.fileExist(made));
    EXPECT_EQ(fp.getFilePathName(made), fp.getSystemTmpPath() + "/");
    std::string withExt = fp.GetTempFile("htm", "vyn");
    EXPECT_EQ(fp.getFileExtName(withExt), "htm");
    fp.delFile(made, true);
    fp.delFile(withExt.substr(0, withExt.size() - 4), true);
}

}  // namespace
