// vlib index and the content searches of vlib search with and without the index.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "content_index/content_index.h"
#include "store/ctreebook.h"
#include "support/temp_dir.h"
#include "vlib_run.h"

namespace {

using testing_support::TempDir;
using vlib_test::Result;
using vlib_test::vlib;
namespace fs = std::filesystem;

class VlibIndex : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CACHE_HOME", dir.file("cache").c_str(), 1);
        store::ctreebook book;
        ASSERT_TRUE(book.createBookMDB(file));
        ASSERT_TRUE(book.openDB(file));
        const int32_t cls = book.insertPathBT("novels", 1);
        book.insertNRBT(cls, "one", "第一章 中文 and text");
        book.insertNRBT(cls, "two", "text only");
        book.insertNRBT(1, "three", "中文在这里");
        book.insertRec(1, "page", "htm", {'<', 'b', '>', 't', 'e', 'x', 't'});
    }
    void TearDown() override { unsetenv("XDG_CACHE_HOME"); }

    // Every content search gives the same output with the index as with --no-index.
    void expectSameAnswers(const std::vector<std::string>& keys) {
        for (const std::string& key : keys)
            for (const char* mode : {"--text", "--all"}) {
                SCOPED_TRACE(key + " " + mode);
                const Result indexed = vlib({"search", file, mode, key});
                const Result scanned = vlib({"search", file, mode, key, "--no-index"});
                EXPECT_EQ(indexed.rc, 0);
                EXPECT_EQ(indexed.out, scanned.out);
                EXPECT_EQ(indexed.err, scanned.err);
            }
    }

    TempDir dir;
    std::string file = dir.file("lib.mdb");
};

TEST_F(VlibIndex, BuildsOnceAndSearchesAnswerAsTheScan) {
    const Result first = vlib({"index", file});
    EXPECT_EQ(first.rc, 0) << first.err;
    EXPECT_NE(first.err.find("4 documents"), std::string::npos) << first.err;
    EXPECT_EQ(first.err.find("already current"), std::string::npos);
    EXPECT_TRUE(fs::exists(cindex::indexFileFor(file, "nr")));
    EXPECT_TRUE(cindex::openCurrentIndex(file, "nr", true));
    EXPECT_NE(vlib({"index", file}).err.find("already current"), std::string::npos);
    expectSameAnswers({"中文", "text", "t", "第", "absent", "中文在"});
    EXPECT_EQ(vlib({"search", file, "--all", "text"}).err, "3 found\n");
}

TEST_F(VlibIndex, LibraryChangedByVlibIsAnsweredAndReindexed) {
    ASSERT_EQ(vlib({"index", file}).rc, 0);
    const std::string added = dir.file("later.txt");
    testing_support::writeFile(added, "more text here");
    ASSERT_EQ(vlib({"add", file, "novels", added}).rc, 0);
    EXPECT_FALSE(cindex::openCurrentIndex(file, "nr"));
    EXPECT_EQ(vlib({"search", file, "--text", "more"}).err, "1 found\n");
    expectSameAnswers({"text", "more"});
    const Result again = vlib({"index", file});
    EXPECT_EQ(again.rc, 0);
    EXPECT_NE(again.err.find("5 documents"), std::string::npos) << again.err;
    expectSameAnswers({"text", "more"});
}

TEST_F(VlibIndex, DamagedIndexIsRebuiltAndNotAFileIsRefused) {
    ASSERT_EQ(vlib({"index", file}).rc, 0);
    testing_support::writeFile(cindex::indexFileFor(file, "nr"), "VYNECIX1 but nothing more");
    expectSameAnswers({"中文"});
    const Result again = vlib({"index", file});
    EXPECT_EQ(again.rc, 0);
    EXPECT_EQ(again.err.find("already current"), std::string::npos);
    EXPECT_EQ(vlib({"index", dir.file("missing.mdb")}).rc, 1);
    EXPECT_EQ(vlib({"index"}).rc, 2);
}

}  // namespace
