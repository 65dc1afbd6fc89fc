// What the content index tests share: a cache folder of their own, generated libraries, and
// the rows a content search gives with and without an index.
#pragma once

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "content_index/content_index.h"
#include "store/ctreebook.h"
#include "store/memory_controls.h"
#include "support/temp_dir.h"
#include "util/codepage.h"

namespace index_test {

using engine::Bytes;

// Points XDG_CACHE_HOME at a folder of the test's own.
class CacheHome {
public:
    CacheHome() : folder_(dir_.file("cache")) { ::setenv("XDG_CACHE_HOME", folder_.c_str(), 1); }
    ~CacheHome() { ::unsetenv("XDG_CACHE_HOME"); }
    const testing_support::TempDir& dir() const { return dir_; }

private:
    testing_support::TempDir dir_;
    std::string folder_;
};

// One result row as the list shows it.
struct Row {
    std::string key, text, parent;
    bool operator==(const Row&) const = default;
};

inline std::vector<Row> contentSearch(store::ctreebook& book, const std::string& key, int32_t start,
                                      const std::string& format) {
    store::MemoryList list;
    book.searchKeyToLVWNR(key, list, start, format);
    std::vector<Row> rows;
    for (const store::ListItem& item : list.items) rows.push_back({item.key, item.text, item.subItems[0]});
    return rows;
}

// The rows of a search by scan and by the index (attached for the one search only).
struct Both {
    std::vector<Row> scanned, indexed;
};
inline Both searchBothWays(store::ctreebook& book, const std::shared_ptr<cindex::ContentIndex>& index,
                           const std::string& key, int32_t start, const std::string& format) {
    Both both;
    book.setContentCandidates(nullptr);
    both.scanned = contentSearch(book, key, start, format);
    cindex::attach(book, index);
    both.indexed = contentSearch(book, key, start, format);
    book.setContentCandidates(nullptr);
    return both;
}

// Generated contents: Chinese from a small alphabet (so keys recur), ASCII words, a mix of
// both, raw bytes, and text that ends in half a character.
class ContentMaker {
public:
    explicit ContentMaker(uint32_t seed) : random(seed) {}

    Bytes chinese(size_t chars) {
        Bytes b;
        for (size_t i = 0; i < chars; ++i) {
            b.push_back(static_cast<uint8_t>(0xB0 + below(4)));
            b.push_back(static_cast<uint8_t>(0xA1 + below(6)));
        }
        return b;
    }
    Bytes ascii(size_t chars) {
        Bytes b;
        for (size_t i = 0; i < chars; ++i) b.push_back(static_cast<uint8_t>(below(5) == 0 ? ' ' : 'a' + below(4)));
        return b;
    }
    Bytes mixed(size_t pieces) {
        Bytes b;
        for (size_t i = 0; i < pieces; ++i) {
            const Bytes part = below(2) ? chinese(1 + below(4)) : ascii(1 + below(4));
            b.insert(b.end(), part.begin(), part.end());
        }
        return b;
    }
    Bytes raw(size_t bytes) {
        Bytes b;
        for (size_t i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(below(256)));
        return b;
    }
    Bytes any() {
        switch (below(6)) {
        case 0: return chinese(1 + below(400));
        case 1: return ascii(1 + below(300));
        case 2: {
            Bytes b = mixed(1 + below(200));
            b.push_back(0xB1);  // half a character at the end
            return b;
        }
        case 3: return raw(1 + below(600));
        default: return mixed(1 + below(300));
        }
    }
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(random() % n); }
    std::mt19937 random;
};

// A library of classes up to three deep holding documents of the formats "txt", "htm", "jpg".
struct GeneratedLibrary {
    std::string file;
    std::vector<int32_t> classes;
    std::vector<int32_t> documents;
};

inline GeneratedLibrary generateLibrary(const std::string& file, ContentMaker& maker, int docs) {
    GeneratedLibrary lib{file, {1}, {}};
    store::ctreebook book;
    book.createBookMDB(file);
    book.openDB(file);
    static const char* formats[] = {"txt", "txt", "txt", "htm", "jpg"};
    for (int d = 0; d < docs; ++d) {
        if (maker.below(6) == 0) {
            const int32_t parent = lib.classes[maker.below(static_cast<uint32_t>(lib.classes.size()))];
            lib.classes.push_back(book.insertPathBT("class " + std::to_string(d), parent));
        }
        const int32_t parent = lib.classes[maker.below(static_cast<uint32_t>(lib.classes.size()))];
        lib.documents.push_back(
            book.insertRec(parent, "doc " + std::to_string(d), formats[maker.below(5)], maker.any()));
    }
    book.closeDB();
    return lib;
}

}  // namespace index_test
