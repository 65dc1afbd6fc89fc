#include "util/file_path.h"

#include <gtest/gtest.h>

namespace {

TEST(PathNames, SplittingAcceptsBothSeparators) {
    clsFilePath fp;
    struct Case {
        std::string path, fileName, folder, justPath, ext;
    } cases[] = {
        {R"(c:\a\b.txt)", "b.txt", R"(c:\a\)", R"(c:\a\b.txt)", "txt"},
        {R"(c:\a\b\)", R"(b\)", R"(c:\a\b\)", R"(c:\a\b)", ""},
        {"b.txt", "b.txt", "", "b.txt", "txt"},
        {R"(c:\a\\\)", R"(\)", R"(c:\a\\\)", R"(c:\a)", ""},
        {"/home/u/Book.TXT", "Book.TXT", "/home/u/", "/home/u/Book.TXT", "txt"},
        {"/home/u\\mixed.Jpg", "mixed.Jpg", "/home/u\\", "/home/u\\mixed.Jpg", "jpg"},
        {"/", "/", "/", "/", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fp.GetFileName(c.path), c.fileName) << c.path;
        EXPECT_EQ(fp.getFilePathName(c.path), c.folder) << c.path;
        EXPECT_EQ(fp.justPath(c.path), c.justPath) << c.path;
        EXPECT_EQ(fp.getFileExtName(c.path), c.ext) << c.path;
    }
}

TEST(PathNames, TitleDropsShortExtensionsAndOptionalNumberPrefix) {
    clsFilePath fp;
    struct Case {
        std::string path, title, titleWithoutNumber;
    } cases[] = {
        {R"(c:\books\12.story.txt)", "12_story", "story"},
        {"archive.tar.gz", "archive_tar", "archive_tar"},
        {"a.jpeg", "a", "a"},
        {"001_Chapter one.txt", "001_Chapter one", "Chapter one"},
        {"  /lib/ 第一章.txt  ", "第一章", "第一章"},
        {"/lib/第一章.小说文本文件", "第一章_小说文本文件", "第一章_小说文本文件"},
        {"/lib/x.y/readme", "readme", "readme"},
        {"a_b.txt", "a_b", "a_b"},
        {"noext", "noext", "noext"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fp.getFileTitleName(c.path, false), c.title) << c.path;
        EXPECT_EQ(fp.getFileTitleName(c.path, true), c.titleWithoutNumber) << c.path;
    }
}

TEST(PathNames, DriveRoot) {
    clsFilePath fp;
    EXPECT_EQ(fp.getFnameDrivePath(R"(c:\x\y.txt)"), R"(c:\)");
    EXPECT_EQ(fp.getFnameDrivePath("/x/y"), "/");
    EXPECT_EQ(fp.getFnameDrivePath("x/y"), "");
}

}  // namespace
