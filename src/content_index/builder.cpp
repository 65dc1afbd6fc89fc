// The index builder: posting lists in an open-addressing table, runs, and their merge.
#include "content_index/builder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <queue>
#include <random>
#include <thread>
#include <vector>

#include "content_index/grams.h"
#include "content_index/identity.h"
#include "content_index/index_file.h"
#include "store/ctreebook.h"
#include "store/values.h"
#include "util/crc32.h"

namespace cindex {

namespace fs = std::filesystem;

namespace {

// Documents read inside one read transaction: long enough to be cheap, short enough that a
// writer waits only briefly.
constexpr int kBatch = 64;

// One key's documents so far: the first and last ordinal and the varint gaps in between.
struct List {
    GramKey key = 0;
    uint32_t count = 0, first = 0, last = 0;
    std::vector<uint8_t> gaps;
};

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

bool writeAll(FILE* f, const void* data, size_t size) {
    return size == 0 || std::fwrite(data, 1, size, f) == size;
}

bool write32(FILE* f, uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    return writeAll(f, b, 4);
}

bool read32(FILE* f, uint32_t& v) {
    uint8_t b[4];
    if (std::fread(b, 1, 4, f) != 4) return false;
    v = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
    return true;
}

// The posting lists of the documents read since the last run was written.
class PostingTable {
public:
    PostingTable() { reset(); }

    void addSingle(CharCode c, uint32_t doc) { add(singles_[c], doc); }

    void addPair(GramKey key, uint32_t doc) {
        size_t slot = (key * 0x9E3779B1u) >> shift_;
        while (true) {
            List& l = slots_[slot];
            if (l.count == 0) {
                l.key = key;
                add(l, doc);
                if (++used_ * 10 > slots_.size() * 6) grow();
                return;
            }
            if (l.key == key) {
                add(l, doc);
                return;
            }
            slot = (slot + 1) & (slots_.size() - 1);
        }
    }

    size_t memory() const { return memory_ + slots_.size() * sizeof(List); }
    bool empty() const { return used_ == 0 && singlesUsed_ == 0; }

    // The lists in ascending key order.
    std::vector<const List*> sorted() const {
        std::vector<const List*> out;
        out.reserve(used_ + singlesUsed_);
        for (const List& l : slots_)
            if (l.count) out.push_back(&l);
        std::sort(out.begin(), out.end(), [](const List* a, const List* b) { return a->key < b->key; });
        for (const List& l : singles_)
            if (l.count) out.push_back(&l);
        return out;
    }

    void reset() {
        slots_ = std::vector<List>(size_t{1} << 16);
        shift_ = 32 - 16;
        used_ = 0;
        singles_ = std::vector<List>(size_t{1} << 16);
        for (size_t c = 0; c < singles_.size(); ++c) singles_[c].key = singleKey(static_cast<CharCode>(c));
        singlesUsed_ = 0;
        memory_ = singles_.size() * sizeof(List);
    }

private:
    void add(List& l, uint32_t doc) {
        if (l.count && l.last == doc) return;
        if (l.count == 0) {
            l.first = doc;
            if (l.key >= kSingleKey) ++singlesUsed_;
        } else {
            const size_t before = l.gaps.capacity();
            appendVarint(l.gaps, doc - l.last);
            memory_ += l.gaps.capacity() - before;
        }
        l.last = doc;
        ++l.count;
    }

    void grow() {
        std::vector<List> old = std::move(slots_);
        slots_ = std::vector<List>(old.size() * 2);
        --shift_;
        for (List& l : old) {
            if (!l.count) continue;
            size_t slot = (l.key * 0x9E3779B1u) >> shift_;
            while (slots_[slot].count) slot = (slot + 1) & (slots_.size() - 1);
            slots_[slot] = std::move(l);
        }
    }

    std::vector<List> slots_;
    unsigned shift_ = 16;
    size_t used_ = 0;
    std::vector<List> singles_;
    size_t singlesUsed_ = 0;
    size_t memory_ = 0;
};

// A run as written to its file: key, count, first, last, gap bytes, the gaps.
bool writeRun(FILE* f, const PostingTable& table) {
    for (const List* l : table.sorted()) {
        if (!write32(f, l->key) || !write32(f, l->count) || !write32(f, l->first) ||
            !write32(f, l->last) || !write32(f, static_cast<uint32_t>(l->gaps.size())) ||
            !writeAll(f, l->gaps.data(), l->gaps.size()))
            return false;
    }
    return std::fflush(f) == 0;
}

// Where the merge takes lists from: a run file or, when nothing was written out, the table.
class ListSource {
public:
    virtual ~ListSource() = default;
    // The next list in key order; false at the end or on a read error (error() tells).
    virtual bool next(List& out) = 0;
    virtual bool error() const { return false; }
};

class RunReader : public ListSource {
public:
    explicit RunReader(FILE* f) : f_(f) { std::rewind(f_); }
    bool next(List& out) override {
        uint32_t length = 0;
        if (!read32(f_, out.key)) return false;
        if (!read32(f_, out.count) || !read32(f_, out.first) || !read32(f_, out.last) ||
            !read32(f_, length))
            return fail();
        out.gaps.resize(length);
        if (length && std::fread(out.gaps.data(), 1, length, f_) != length) return fail();
        return true;
    }
    bool error() const override { return error_; }

private:
    bool fail() {
        error_ = true;
        return false;
    }
    FILE* f_;
    bool error_ = false;
};

class TableReader : public ListSource {
public:
    explicit TableReader(const PostingTable& table) : lists_(table.sorted()) {}
    bool next(List& out) override {
        if (at_ == lists_.size()) return false;
        out = *lists_[at_++];
        return true;
    }

private:
    std::vector<const List*> lists_;
    size_t at_ = 0;
};

// Merges the sources (each holding later documents than the one before) into the postings
// of out, appending one dictionary entry per key.
bool mergeLists(std::vector<std::unique_ptr<ListSource>>& sources, FILE* out,
                std::vector<uint8_t>& dict, uint32_t& keyCount, uint64_t& postingsLength) {
    struct Head {
        GramKey key;
        size_t source;
        bool operator>(const Head& o) const { return key != o.key ? key > o.key : source > o.source; }
    };
    std::vector<List> current(sources.size());
    std::priority_queue<Head, std::vector<Head>, std::greater<>> heads;
    for (size_t s = 0; s < sources.size(); ++s)
        if (sources[s]->next(current[s])) heads.push({current[s].key, s});
    std::vector<uint8_t> bytes;
    keyCount = 0;
    postingsLength = 0;
    while (!heads.empty()) {
        const GramKey key = heads.top().key;
        bytes.clear();
        uint32_t count = 0, last = 0;
        while (!heads.empty() && heads.top().key == key) {
            const size_t s = heads.top().source;
            heads.pop();
            const List& l = current[s];
            appendVarint(bytes, count == 0 ? l.first : l.first - last);
            bytes.insert(bytes.end(), l.gaps.begin(), l.gaps.end());
            count += l.count;
            last = l.last;
            if (sources[s]->next(current[s])) heads.push({current[s].key, s});
        }
        DictEntry e{key, count, postingsLength, static_cast<uint32_t>(bytes.size()),
                    Modcrc32::updateCRC32(0, bytes.data(), bytes.size())};
        appendDictEntry(dict, e);
        ++keyCount;
        postingsLength += bytes.size();
        if (!writeAll(out, bytes.data(), bytes.size())) return false;
    }
    for (const auto& s : sources)
        if (s->error()) return false;
    return true;
}

// A name beside target no other builder picks.
std::string temporaryName(const std::string& target) {
    std::random_device random;
    char tail[64];
    std::snprintf(tail, sizeof tail, ".%08x%08x.tmp", random(), random());
    return target + tail;
}

// Removes the files it names when it goes, unless released.
struct TemporaryFiles {
    std::vector<std::string> names;
    ~TemporaryFiles() {
        std::error_code ec;
        for (const std::string& n : names) fs::remove(n, ec);
    }
};

}  // namespace

BuildResult buildIndex(const std::string& libraryFile, const std::string& treeTable,
                       const std::string& contentTable, const std::string& indexFile,
                       const BuildOptions& options) {
    const std::optional<LibraryIdentity> before = identityOf(libraryFile, contentTable);
    if (!before) return BuildResult::Failed;
    std::error_code ec;
    fs::create_directories(fs::path(indexFile).parent_path(), ec);
    fs::permissions(fs::path(indexFile).parent_path(), fs::perms::owner_all, fs::perm_options::replace, ec);

    store::ctreebook book;
    book.setReadOnlyOpen(true);
    if (!book.openDB(libraryFile, treeTable, contentTable) || !book.nrRS()) return BuildResult::Failed;
    engine::Recordset& rs = *book.nrRS();
    engine::Database& db = *book.myDB();

    TemporaryFiles temporaries;
    std::vector<File> runs;
    PostingTable table;
    std::vector<DocEntry> docs;
    store::Bytes content;
    uint64_t done = 0, total = 0;
    try {
        total = static_cast<uint64_t>(std::max(0L, rs.recordCount()));
        rs.moveFirst();
        while (!rs.eof()) {
            try {
                db.beginTrans();
            } catch (const engine::Error&) {
            }
            for (int i = 0; i < kBatch && !rs.eof(); ++i, ++done, rs.moveNext()) {
                if (options.stop && options.stop->load()) {
                    try {
                        db.commitTrans();
                    } catch (const engine::Error&) {
                    }
                    return BuildResult::Stopped;
                }
                DocEntry doc{store::longOrZero(rs.field("id")), store::longOrZero(rs.field("size")),
                             store::longOrZero(rs.field("crc")), store::boolOrFalse(rs.field("zed"))};
                // The scan skips what does not decode; so does the index.
                const int32_t n = book.getCurrNR(content);
                if (n <= 0 || (!docs.empty() && doc.id <= docs.back().id)) continue;
                const auto ordinal = static_cast<uint32_t>(docs.size());
                docs.push_back(doc);
                bool havePrevious = false;
                CharCode previous = 0;
                forEachChar(content.data(), static_cast<size_t>(n), [&](CharCode c) {
                    table.addSingle(c, ordinal);
                    if (havePrevious) table.addPair(pairKey(previous, c), ordinal);
                    previous = c;
                    havePrevious = true;
                });
                if (table.memory() >= options.memoryBudget) {
                    temporaries.names.push_back(temporaryName(indexFile));
                    File run(std::fopen(temporaries.names.back().c_str(), "w+b"));
                    if (!run || !writeRun(run.get(), table)) return BuildResult::Failed;
                    runs.push_back(std::move(run));
                    table.reset();
                }
            }
            try {
                db.commitTrans();
            } catch (const engine::Error&) {
            }
            if (options.progress) options.progress(done, std::max(done, total));
        }
    } catch (...) {
        return BuildResult::Failed;
    }
    book.closeDB();
    if (identityOf(libraryFile, contentTable) != before) return BuildResult::Changed;
    if (docs.size() > kMaxDocs) return BuildResult::Failed;

    std::vector<std::unique_ptr<ListSource>> sources;
    for (File& run : runs) sources.push_back(std::make_unique<RunReader>(run.get()));
    if (!table.empty()) sources.push_back(std::make_unique<TableReader>(table));

    Header h;
    h.library = *before;
    h.docCount = static_cast<uint32_t>(docs.size());
    std::vector<uint8_t> header = encodeHeader(h);
    const std::vector<uint8_t> docBytes = encodeDocs(docs);
    const std::string temporary = temporaryName(indexFile);
    temporaries.names.push_back(temporary);
    File out(std::fopen(temporary.c_str(), "wb"));
    if (!out || !writeAll(out.get(), header.data(), header.size()) ||
        !writeAll(out.get(), docBytes.data(), docBytes.size()))
        return BuildResult::Failed;
    std::vector<uint8_t> dict;
    if (!mergeLists(sources, out.get(), dict, h.keyCount, h.postingsLength) ||
        !writeAll(out.get(), dict.data(), dict.size()))
        return BuildResult::Failed;
    h.postingsOffset = header.size() + docBytes.size();
    h.dictOffset = h.postingsOffset + h.postingsLength;
    h.fileSize = h.dictOffset + dict.size();
    header = encodeHeader(h);
    h.checksum = headerChecksum(header, docBytes, dict);
    header = encodeHeader(h);
    if (std::fseek(out.get(), 0, SEEK_SET) != 0 || !writeAll(out.get(), header.data(), header.size()) ||
        std::fclose(out.release()) != 0)
        return BuildResult::Failed;
    fs::rename(temporary, indexFile, ec);
    if (ec) return BuildResult::Failed;
    temporaries.names.pop_back();
    return BuildResult::Built;
}

}  // namespace cindex
