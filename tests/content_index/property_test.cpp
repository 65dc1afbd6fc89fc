// Over generated libraries and random keys, a content search with the index gives exactly the
// scan's rows, and the index's candidates hold every document the scan's rule matches.
#include <gtest/gtest.h>

#include <algorithm>

#include "index_support.h"

namespace {

using namespace index_test;

// A key cut from a document at any byte (also inside a character or at odd offsets).
Bytes sliceOf(const Bytes& content, ContentMaker& maker) {
    const size_t from = maker.below(static_cast<uint32_t>(content.size()));
    const size_t length = 1 + maker.below(8);
    return Bytes(content.begin() + static_cast<long>(from),
                 content.begin() + static_cast<long>(std::min(content.size(), from + length)));
}

class Property : public ::testing::TestWithParam<size_t> {
protected:
    CacheHome cache;
};

TEST_P(Property, IndexedRowsEqualScannedRowsForRandomKeys) {
    const size_t budget = GetParam();
    for (uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ContentMaker maker(seed);
        const GeneratedLibrary lib =
            generateLibrary(cache.dir().file("lib" + std::to_string(seed) + ".mdb"), maker, 60);
        cindex::BuildOptions options;
        options.memoryBudget = budget;
        const cindex::Ensured ensured = cindex::ensureIndex(lib.file, "tree", "nr", options);
        ASSERT_EQ(ensured.result, cindex::BuildResult::Built);
        ASSERT_TRUE(ensured.index);

        store::ctreebook book;
        book.setReadOnlyOpen(true);
        ASSERT_TRUE(book.openDB(lib.file));
        std::vector<Bytes> contents;
        for (int32_t id : lib.documents) {
            Bytes b;
            book.getNR(id, b);
            contents.push_back(b);
        }

        std::vector<std::string> keys = {"中", "ab", "a", " ", "zz", "\xe6\x97\xa0\xe6\xb3\x95"};
        for (int k = 0; k < 40; ++k) {
            const Bytes& from = contents[maker.below(static_cast<uint32_t>(contents.size()))];
            keys.push_back(util::ansiToUtf8(sliceOf(from, maker)));
        }
        for (const std::string& key : keys) {
            for (const char* format : {"txt", ""}) {
                const int32_t start = lib.classes[maker.below(static_cast<uint32_t>(lib.classes.size()))];
                SCOPED_TRACE("key '" + key + "' format '" + format + "' start " + std::to_string(start));
                const Both both = searchBothWays(book, ensured.index, key, start, format);
                EXPECT_EQ(both.indexed, both.scanned);
            }
        }

        // Byte keys that no UTF-8 text gives: the candidates still hold every match.
        for (int k = 0; k < 200; ++k) {
            const Bytes key = sliceOf(contents[maker.below(static_cast<uint32_t>(contents.size()))], maker);
            const std::optional<std::vector<int32_t>> candidates = ensured.index->candidates(key);
            if (!candidates) continue;
            for (size_t d = 0; d < contents.size(); ++d) {
                if (!store::ctreebook::containsAtCharBoundary(contents[d], key)) continue;
                EXPECT_TRUE(std::binary_search(candidates->begin(), candidates->end(), lib.documents[d]))
                    << "document " << lib.documents[d] << " missing for a key of " << key.size() << " bytes";
            }
        }
        EXPECT_FALSE(ensured.index->damaged());
    }
}

// A tiny budget writes many runs, some ending inside a document; the merged file is the same.
INSTANTIATE_TEST_SUITE_P(MemoryBudgets, Property, ::testing::Values(size_t{4} << 10, size_t{128} << 20));

TEST(PropertyMerge, RunsMergeIntoTheSameFileAsOneTable) {
    CacheHome cache;
    ContentMaker maker(7);
    const GeneratedLibrary lib = generateLibrary(cache.dir().file("lib.mdb"), maker, 40);
    std::vector<std::string> files;
    for (size_t budget : {size_t{4} << 10, size_t{50000}, size_t{128} << 20}) {
        files.push_back(cache.dir().file("index" + std::to_string(budget)));
        cindex::BuildOptions options;
        options.memoryBudget = budget;
        ASSERT_EQ(cindex::buildIndex(lib.file, "tree", "nr", files.back(), options), cindex::BuildResult::Built);
    }
    const std::string first = testing_support::readFile(files[0]);
    EXPECT_GT(first.size(), cindex::kHeaderSize);
    for (const std::string& f : files) EXPECT_EQ(testing_support::readFile(f), first) << f;
}

TEST(PropertyKeys, KeysAreCharacterPairsOrOneCharacter) {
    using cindex::pairKey;
    using cindex::singleKey;
    struct Case {
        const char* name;
        Bytes key;
        std::vector<cindex::GramKey> keys;
    } cases[] = {
        {"empty", {}, {}},
        {"one byte", {'a'}, {singleKey('a')}},
        {"lone lead byte", {0xB0}, {}},
        {"one Chinese character", {0xB0, 0xA1}, {singleKey(0xB0A1)}},
        {"character and a lead byte", {0xB0, 0xA1, 0xB2}, {singleKey(0xB0A1)}},
        {"ASCII pair", {'a', 'b'}, {pairKey('a', 'b')}},
        {"mixed", {'a', 0xB0, 0xA1, 'b'}, {pairKey('a', 0xB0A1), pairKey(0xB0A1, 'b')}},
        {"lead byte then ASCII is one character", {0xB0, 'a', 'c'}, {pairKey(0xB061, 'c')}},
    };
    for (const Case& c : cases) EXPECT_EQ(cindex::keysOf(c.key), c.keys) << c.name;
}

}  // namespace
