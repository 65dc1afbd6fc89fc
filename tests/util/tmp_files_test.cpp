#include "util/app_path.h"
#include "util/file_path.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Points the program folder at a fresh temporary folder for one test.
class ProgramFolder : public ::testing::Test {
protected:
    void SetUp() override { setenv("VYNE_HOME", dir.path().c_str(), 1); }
    void TearDown() override { unsetenv("VYNE_HOME"); }
    std::string tmp() const { return dir.path() + "/tmp/"; }
    testing_support::TempDir dir;
};

TEST_F(ProgramFolder, ProgramFolderFollowsTheEnvironment) {
    EXPECT_EQ(util::appPath(), dir.path() + "/");
}

TEST_F(ProgramFolder, UnnamedTemporaryNamesCycleThroughTwenty) {
    clsFilePath fp;
    for (int i = 1; i <= 20; ++i) EXPECT_EQ(fp.tmpFileName(""), tmp() + "tmp" + std::to_string(4300 + i) + ".dat");
    EXPECT_EQ(fp.tmpFileName(""), tmp() + "tmp4301.dat");
    EXPECT_EQ(fp.tmpFileName(" htm "), tmp() + "tmp4302.htm");
    clsFilePath other;  // each object has its own cycle
    EXPECT_EQ(other.tmpFileName("txt"), tmp() + "tmp4301.txt");
    EXPECT_FALSE(fs::exists(tmp() + "tmp4301.dat"));  // names only, no files
}

TEST_F(ProgramFolder, TemporaryFolderIsPrivate) {
    clsFilePath fp;
    EXPECT_EQ(fp.tmpFileName("jpg", "cover"), tmp() + "cover.jpg");
    EXPECT_EQ(fs::status(tmp()).permissions() & fs::perms::all, fs::perms::owner_all);
    fs::permissions(tmp(), fs::perms::all);  // a folder opened up by someone else
    fp.tmpFileName("jpg");
    EXPECT_EQ(fs::status(tmp()).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(ProgramFolder, ClearingRemovesFilesButKeepsFolders) {
    clsFilePath fp;
    testing_support::writeFile(fp.tmpFileName("txt"), "x");
    testing_support::writeFile(fp.tmpFileName("htm", "page"), "y");
    fs::create_directory(tmp() + "keep");
    fp.clearTmpPath();
    EXPECT_EQ(fp.subFilecount(tmp()), 0);
    EXPECT_TRUE(fp.pathExist(tmp() + "keep"));
}

}  // namespace
