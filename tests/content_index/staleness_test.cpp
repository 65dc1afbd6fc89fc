// A library changed after it was indexed: the index is not used until it is made anew, and
// searches meanwhile give the scan's rows; a damaged, truncated or foreign index is never
// trusted and is rebuilt.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "index_support.h"

namespace {

using namespace index_test;
namespace fs = std::filesystem;

const std::string kKey = "\xe4\xb8\xad\xe6\x96\x87";  // 中文

// A small library: two documents holding the key, one without.
class SmallLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        store::ctreebook book;
        ASSERT_TRUE(book.createBookMDB(file));
        ASSERT_TRUE(book.openDB(file));
        const int32_t cls = book.insertPathBT("novels", 1);
        book.insertNRBT(cls, "one", "第一章 中文 text");
        book.insertNRBT(cls, "two", "nothing here");
        book.insertNRBT(1, "three", "abc 中文");
        book.closeDB();
    }
    std::shared_ptr<cindex::ContentIndex> build() {
        cindex::Ensured e = cindex::ensureIndex(file, "tree", "nr");
        EXPECT_EQ(e.result, cindex::BuildResult::Built);
        return e.index;
    }
    std::vector<Row> search(const std::string& key, bool withIndex) {
        store::ctreebook book;
        book.setReadOnlyOpen(true);
        book.openDB(file);
        if (withIndex) cindex::attach(book, cindex::openCurrentIndex(file, "nr"));
        return contentSearch(book, key, 1, "txt");
    }
    std::string indexFile() const { return cindex::indexFileFor(file, "nr"); }

    CacheHome cache;
    std::string file = cache.dir().file("small.mdb");
};

TEST_F(SmallLibrary, IndexLivesInTheCacheFolderAndAnswers) {
    const auto index = build();
    ASSERT_TRUE(index);
    EXPECT_EQ(fs::path(indexFile()).parent_path(), fs::path(cache.dir().file("cache/vyne-browser")));
    EXPECT_TRUE(fs::exists(indexFile()));
    EXPECT_EQ(index->documents().size(), 3u);
    const auto candidates = index->candidates(util::utf8ToAnsi(kKey));
    ASSERT_TRUE(candidates);
    EXPECT_EQ(candidates->size(), 2u);
    EXPECT_EQ(search(kKey, true), search(kKey, false));
    EXPECT_EQ(search(kKey, true).size(), 2u);
    // Nothing but the cache folder's own files: no temporary or run files stay.
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(indexFile()).parent_path())) {
        ++files;
        (void)entry;
    }
    EXPECT_EQ(files, 1u);
    // Asking again finds it current.
    EXPECT_TRUE(cindex::ensureIndex(file, "tree", "nr").wasCurrent);
}

TEST_F(SmallLibrary, ChangedLibraryIsNotAnsweredFromTheOldIndex) {
    struct Change {
        const char* name;
        std::function<void(store::ctreebook&)> apply;
        size_t found;  // rows for the key afterwards
    } changes[] = {
        {"a document added", [](store::ctreebook& b) { b.insertNRBT(1, "four", "又一篇中文"); }, 3},
        {"a document rewritten", [](store::ctreebook& b) {
             Bytes text = util::utf8ToAnsi("中文 now here too");
             b.updateTxtNR(b.findNrBT(b.findPidPath(1, "novels"), "two", "txt"), text,
                           static_cast<int32_t>(text.size()));
         }, 3},
        {"a document deleted", [](store::ctreebook& b) { b.deleteRec(b.findNrBT(1, "three", "txt")); }, 1},
        {"a read mark set", [](store::ctreebook& b) { b.changeReaded(1, true); }, 2},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.name);
        fs::remove(file);
        SetUp();  // a fresh library under the same name
        const auto old = build();
        ASSERT_TRUE(old);
        {
            store::ctreebook book;
            ASSERT_TRUE(book.openDB(file));
            cindex::attach(book, old);  // the browser's case: the old index still attached
            c.apply(book);
            EXPECT_FALSE(old->current());
            EXPECT_FALSE(old->candidates(util::utf8ToAnsi(kKey)));
            EXPECT_EQ(contentSearch(book, kKey, 1, "txt").size(), c.found);
        }
        EXPECT_FALSE(cindex::openCurrentIndex(file, "nr"));
        EXPECT_EQ(search(kKey, true), search(kKey, false));
        const cindex::Ensured again = cindex::ensureIndex(file, "tree", "nr");
        ASSERT_EQ(again.result, cindex::BuildResult::Built);
        EXPECT_FALSE(again.wasCurrent);
        EXPECT_EQ(again.index->candidates(util::utf8ToAnsi(kKey)).value_or(std::vector<int32_t>{}).size(), c.found);
        EXPECT_EQ(search(kKey, true), search(kKey, false));
    }
}

TEST_F(SmallLibrary, TouchedFileIsStale) {
    const auto index = build();
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(5));
    EXPECT_FALSE(index->current());
    EXPECT_FALSE(cindex::openCurrentIndex(file, "nr"));
}

// Damage made to a built index file: it is refused, searches scan, and it is rebuilt.
TEST_F(SmallLibrary, DamagedIndexIsRefusedAndRebuilt) {
    auto flipAt = [](double where) {
        return [where](std::string& bytes) {
            bytes[static_cast<size_t>(static_cast<double>(bytes.size() - 1) * where)] ^= 0x5A;
        };
    };
    struct Damage {
        const char* name;
        std::function<void(std::string&)> apply;
    } damages[] = {
        {"empty", [](std::string& b) { b.clear(); }},
        {"truncated to its header", [](std::string& b) { b.resize(cindex::kHeaderSize); }},
        {"truncated by one byte", [](std::string& b) { b.pop_back(); }},
        {"longer by one byte", [](std::string& b) { b.push_back('x'); }},
        {"foreign magic", [](std::string& b) { b[0] = 'X'; }},
        {"a header byte", [](std::string& b) { b[20] ^= 1; }},
        {"a claimed key count", [](std::string& b) { b[43] = '\x7f'; }},
        {"a claimed document count", [](std::string& b) { b[39] = '\x7f'; }},
        {"a dictionary byte", flipAt(0.97)},
        {"the last byte", flipAt(1.0)},
        {"a text file", [](std::string& b) { b = "not an index at all\n"; }},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        ASSERT_TRUE(build());
        std::string bytes = testing_support::readFile(indexFile());
        d.apply(bytes);
        testing_support::writeFile(indexFile(), bytes);
        EXPECT_FALSE(cindex::openCurrentIndex(file, "nr"));
        EXPECT_EQ(search(kKey, true), search(kKey, false));
        const cindex::Ensured again = cindex::ensureIndex(file, "tree", "nr");
        ASSERT_EQ(again.result, cindex::BuildResult::Built);
        EXPECT_FALSE(again.wasCurrent);
    }
}

TEST_F(SmallLibrary, DamagedPostingsAreFoundWhenReadAndNeverAnswer) {
    ASSERT_TRUE(build());
    std::string bytes = testing_support::readFile(indexFile());
    // The header says where the postings lie; flip every byte of them.
    auto field64 = [&bytes](size_t at) {
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
        return static_cast<size_t>(v);
    };
    const size_t postings = field64(56), length = field64(64);
    ASSERT_GT(length, 0u);
    ASSERT_LE(postings + length, bytes.size());
    for (size_t i = postings; i < postings + length; ++i) bytes[i] ^= 0x5A;
    testing_support::writeFile(indexFile(), bytes);

    const auto opened = cindex::openCurrentIndex(file, "nr");  // the header is whole
    ASSERT_TRUE(opened);
    EXPECT_FALSE(opened->candidates(util::utf8ToAnsi(kKey)));
    EXPECT_TRUE(opened->damaged());
    EXPECT_FALSE(opened->candidates(util::utf8ToAnsi("abc")));
    EXPECT_FALSE(cindex::openCurrentIndex(file, "nr", true));
    EXPECT_FALSE(cindex::ensureIndex(file, "tree", "nr").wasCurrent);
}

TEST_F(SmallLibrary, IndexOfAnotherLibraryIsForeign) {
    ASSERT_TRUE(build());
    const std::string other = cache.dir().file("other.mdb");
    fs::copy_file(file, other);
    fs::copy_file(indexFile(), cindex::indexFileFor(other, "nr"));
    EXPECT_FALSE(cindex::openCurrentIndex(other, "nr"));
    EXPECT_FALSE(cindex::openCurrentIndex(file, "other table"));
}

TEST_F(SmallLibrary, StoppedBuildLeavesNothing) {
    std::atomic<bool> stop{true};
    cindex::BuildOptions options;
    options.stop = &stop;
    EXPECT_EQ(cindex::buildIndex(file, "tree", "nr", indexFile(), options), cindex::BuildResult::Stopped);
    EXPECT_FALSE(fs::exists(indexFile()));
    std::error_code ec;
    EXPECT_TRUE(fs::is_empty(fs::path(indexFile()).parent_path(), ec));
}

TEST_F(SmallLibrary, TwoBuildersAtOnceLeaveOneWholeIndex) {
    std::vector<std::thread> builders;
    std::atomic<int> built{0};
    for (int i = 0; i < 4; ++i)
        builders.emplace_back([&] {
            if (cindex::buildIndex(file, "tree", "nr", indexFile()) == cindex::BuildResult::Built) ++built;
        });
    for (auto& t : builders) t.join();
    EXPECT_EQ(built.load(), 4);
    EXPECT_TRUE(cindex::openCurrentIndex(file, "nr", true));
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(indexFile()).parent_path())) {
        ++files;
        (void)entry;
    }
    EXPECT_EQ(files, 1u);
}

TEST(JetLibrary, ReadOnlyJetLibraryIsIndexed) {
    CacheHome cache;
    const std::string file = cache.dir().file("basic.mdb");
    fs::copy_file(testing_support::jetFixturePath("library_basic.mdb"), file);
    const cindex::Ensured e = cindex::ensureIndex(file, "tree", "nr");
    ASSERT_EQ(e.result, cindex::BuildResult::Built);
    ASSERT_FALSE(e.index->documents().empty());
    store::ctreebook book;
    book.setReadOnlyOpen(true);
    ASSERT_TRUE(book.openDB(file));
    ContentMaker maker(11);
    for (const cindex::DocEntry& doc : e.index->documents()) {
        Bytes content;
        ASSERT_GT(book.getNR(doc.id, content), 0);
        for (int k = 0; k < 5; ++k) {
            const size_t from = maker.below(static_cast<uint32_t>(content.size()));
            const Bytes slice(content.begin() + static_cast<long>(from),
                              content.begin() + static_cast<long>(std::min(content.size(), from + 4)));
            const std::string key = util::ansiToUtf8(slice);
            for (const char* format : {"txt", ""}) {
                SCOPED_TRACE(key);
                const Both both = searchBothWays(book, e.index, key, 1, format);
                EXPECT_EQ(both.indexed, both.scanned);
            }
        }
    }
}

}  // namespace
