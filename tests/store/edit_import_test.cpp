// Importing folder trees and exporting them again.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <random>

#include "recorders.h"

namespace {

namespace fs = std::filesystem;
using store::ctreebook;
using store_test::TestLibrary;
using testing_support::readFile;
using testing_support::writeFile;

// Every file below root by its relative path, with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        files[fs::relative(e.path(), root).string()] = e.is_directory() ? "<folder>" : readFile(e.path().string());
    return files;
}

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(random());
    return s;
}

TEST(EditImport, AFolderTreeComesBackByteForByte) {
    TestLibrary lib;
    const fs::path src = fs::path(lib.dir.path()) / "src";
    fs::create_directories(src / "Stories 故事" / "Deeper");
    fs::create_directories(src / "Empty");
    writeFile((src / "readme.txt").string(), "plain ASCII text\r\n");
    writeFile((src / "Stories 故事" / "noise.bin").string(), randomBytes(70000, 1));
    writeFile((src / "Stories 故事" / "tiny.dat").string(), "x");
    writeFile((src / "Stories 故事" / "zero.txt").string(), "");
    writeFile((src / "Stories 故事" / "Deeper" / "repeat.htm").string(), std::string(100000, 'a'));
    writeFile((src / "Stories 故事" / "Deeper" / "repeat.txt").string(), "same title, other format");

    std::vector<ctreebook::ImportProblem> problems;
    std::vector<std::string> messages;
    int32_t finished = -1;
    lib.book.events.showMsg = [&](int32_t&, const std::string& m, bool&) { messages.push_back(m); };
    lib.book.events.importFinished = [&](int32_t& n) { finished = n; };
    EXPECT_EQ(lib.book.insertOrUpdateDirs(src.string(), 1, &problems), 6);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(finished, 6);
    ASSERT_EQ(messages.size(), 6u);
    // Sub-folders come before the files of a folder, names in order.
    EXPECT_EQ(messages.front(), "Importing: " + (src / "Stories 故事" / "Deeper" / "repeat.htm").string());
    EXPECT_EQ(messages.back(), "Importing: " + (src / "readme.txt").string());

    const fs::path out = fs::path(lib.dir.path()) / "out";
    EXPECT_EQ(lib.book.saveToFileLX(1, out.string()), 6);
    EXPECT_EQ(snapshot(out), snapshot(src));

    // Importing again rewrites instead of adding.
    writeFile((src / "tiny.dat").string(), "new");
    const int32_t last = lib.book.lastID();
    EXPECT_EQ(lib.book.insertOrUpdateDirs(src.string(), 1, &problems), 7);
    EXPECT_EQ(lib.book.lastID(), last + 1);
}

TEST(EditImport, WhatCannotBeReadIsListedAndTheRestImported) {
    TestLibrary lib;
    const fs::path src = fs::path(lib.dir.path()) / "src";
    fs::create_directories(src / "sub");
    writeFile((src / "good.txt").string(), "good");
    fs::create_directory_symlink(src, src / "sub" / "loop");
    fs::create_symlink(src / "nowhere", src / "broken.txt");
    ASSERT_EQ(mkfifo((src / "pipe").c_str(), 0600), 0);
    writeFile((src / ".hidden").string(), "left out");
    // A name in code page 936, as archives made on Chinese Windows hold them.
    const std::string gbkName = "\xD6\xD0\xCE\xC4.txt";  // 中文.txt
    writeFile((src / gbkName).string(), "gbk name");

    std::vector<ctreebook::ImportProblem> problems;
    EXPECT_EQ(lib.book.insertOrUpdateDirs(src.string(), 1, &problems), 2);
    std::map<std::string, std::string> reasons;
    for (const auto& p : problems) reasons[fs::path(p.path).filename().string()] = p.reason;
    EXPECT_EQ(reasons, (std::map<std::string, std::string>{
                           {"broken.txt", "broken symbolic link"},
                           {"loop", "imported already (a symbolic link leads back to it)"},
                           {"pipe", "not a regular file"}}));
    EXPECT_NE(lib.book.getIDByPath("中文"), 0);
    EXPECT_NE(lib.book.getIDByPath("good"), 0);
    EXPECT_NE(lib.book.getIDByPath("sub"), 0);
    EXPECT_EQ(lib.book.insertOrUpdateDirs((src / "good.txt").string(), 1, &problems), -1);
}

TEST(EditImport, AFolderAsANewClass) {
    TestLibrary lib;
    const fs::path src = fs::path(lib.dir.path()) / "Poems";
    fs::create_directories(src);
    writeFile((src / "a.txt").string(), "a");
    const int32_t id = lib.book.loadFromFileLX(src.string() + "/", 1);
    EXPECT_EQ(lib.book.BTByID(id), "Poems");
    EXPECT_NE(lib.book.getIDByPath("Poems/a"), 0);
    lib.book.closeDB();
    EXPECT_EQ(lib.book.loadFromFileLX(src.string(), 1), 0);
}

}  // namespace
