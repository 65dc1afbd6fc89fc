// The index builder: posting lists in an open-addressing table, runs, and their merge.
#include "content_index/builder.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <queue>
#include <random>
#include <utility>
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

// The postings of the documents read since the last run was written: one (key, ordinal) pair
// for each distinct key of each document, in document order. A document's keys are told apart
// in a small table that stays in the processor's cache; sorting by key happens once a run.
class PostingBuffer {
public:
    explicit PostingBuffer(size_t memoryBudget)
        : capacity_(std::max<size_t>(4, memoryBudget / (2 * sizeof(uint64_t)))), singleSeen_(size_t{1} << 16, 0) {}

    // Starts a document of about chars characters.
    void beginDocument(uint32_t ordinal, size_t chars) {
        doc_ = ordinal;
        if (++stamp_ == 0) {  // the stamps wrapped: forget them all
            std::fill(singleSeen_.begin(), singleSeen_.end(), 0);
            std::fill(seen_.begin(), seen_.end(), Seen{});
            stamp_ = 1;
        }
        size_t want = size_t{1} << 10;
        while (want < chars * 2 && want < (size_t{1} << 22)) want <<= 1;
        if (want > seen_.size()) {
            seen_.assign(want, Seen{});
            bits_ = static_cast<unsigned>(std::countr_zero(want));
        }
        distinct_ = 0;
    }

    void addSingle(CharCode c) {
        if (singleSeen_[c] == stamp_) return;
        singleSeen_[c] = stamp_;
        postings_.push_back(uint64_t{singleKey(c)} << 32 | doc_);
    }

    void addPair(GramKey key) {
        const size_t mask = seen_.size() - 1;
        size_t slot = (key * 0x9E3779B1u) >> (32 - bits_);
        while (seen_[slot].stamp == stamp_) {
            if (seen_[slot].key == key) return;
            slot = (slot + 1) & mask;
        }
        // A table more than half full (a document of many distinct pairs) is cleared: keys
        // seen again are added again, which the run writer folds together.
        if (++distinct_ * 2 > seen_.size()) {
            ++stamp_;
            distinct_ = 1;
            if (stamp_ == 0) {
                std::fill(seen_.begin(), seen_.end(), Seen{});
                std::fill(singleSeen_.begin(), singleSeen_.end(), 0);
                stamp_ = 1;
            }
        }
        seen_[slot] = {key, stamp_};
        postings_.push_back(uint64_t{key} << 32 | doc_);
    }

    // Whether the next character could take the buffer past its budget.
    bool full() const { return postings_.size() + 2 >= capacity_; }
    bool empty() const { return postings_.empty(); }

    // Sorts the postings by key, keeping document order within a key (three stable passes).
    void sort() {
        scratch_.reserve(capacity_);
        scratch_.resize(postings_.size());
        for (unsigned shift : {32u, 43u, 54u}) {
            std::vector<size_t> starts(size_t{1} << 11, 0);
            for (uint64_t p : postings_) ++starts[(p >> shift) & 0x7FF];
            size_t sum = 0;
            for (size_t& s : starts) sum += std::exchange(s, sum);
            for (uint64_t p : postings_) scratch_[starts[(p >> shift) & 0x7FF]++] = p;
            postings_.swap(scratch_);
        }
    }

    // After sort(): the next key's list, false at the end.
    bool next(List& out) {
        if (at_ == postings_.size()) return false;
        out.key = static_cast<GramKey>(postings_[at_] >> 32);
        out.count = 0;
        out.gaps.clear();
        for (; at_ < postings_.size() && (postings_[at_] >> 32) == out.key; ++at_) {
            const auto doc = static_cast<uint32_t>(postings_[at_]);
            if (out.count == 0) {
                out.first = doc;
            } else if (doc == out.last) {
                continue;
            } else {
                appendVarint(out.gaps, doc - out.last);
            }
            out.last = doc;
            ++out.count;
        }
        return true;
    }

    void clear() {
        postings_.clear();
        postings_.reserve(capacity_);
        at_ = 0;
    }
    void reserve() { postings_.reserve(capacity_); }

private:
    struct Seen {
        GramKey key = 0;
        uint32_t stamp = 0;
    };
    size_t capacity_;
    std::vector<uint64_t> postings_, scratch_;
    size_t at_ = 0;
    std::vector<uint32_t> singleSeen_;
    std::vector<Seen> seen_;
    unsigned bits_ = 0;
    size_t distinct_ = 0;
    uint32_t stamp_ = 0, doc_ = 0;
};

// A run as written to its file: key, count, first, last, gap bytes, the gaps.
bool writeRun(FILE* f, PostingBuffer& buffer) {
    buffer.sort();
    List l;
    while (buffer.next(l)) {
        if (!write32(f, l.key) || !write32(f, l.count) || !write32(f, l.first) || !write32(f, l.last) ||
            !write32(f, static_cast<uint32_t>(l.gaps.size())) || !writeAll(f, l.gaps.data(), l.gaps.size()))
            return false;
    }
    buffer.clear();
    return std::fflush(f) == 0;
}

// Where the merge takes lists from: a run file, or the postings not written out.
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

// The last postings, not written out: sorted where they are.
class BufferReader : public ListSource {
public:
    explicit BufferReader(PostingBuffer& buffer) : buffer_(buffer) { buffer_.sort(); }
    bool next(List& out) override { return buffer_.next(out); }

private:
    PostingBuffer& buffer_;
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
            // A document split between two runs starts the later list where the earlier ended.
            if (count == 0 || l.first != last) {
                appendVarint(bytes, count == 0 ? l.first : l.first - last);
                ++count;
            }
            bytes.insert(bytes.end(), l.gaps.begin(), l.gaps.end());
            count += l.count - 1;
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

// Removes the files it still names when it goes.
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
    PostingBuffer postings(options.memoryBudget);
    postings.reserve();
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
                // Ordinals follow ids; rows out of id order would be damage the index cannot hold.
                if (!docs.empty() && doc.id <= docs.back().id) return BuildResult::Failed;
                // The scan skips what does not decode; so does the index.
                const int32_t n = book.getCurrNR(content);
                if (n <= 0) continue;
                const auto ordinal = static_cast<uint32_t>(docs.size());
                docs.push_back(doc);
                postings.beginDocument(ordinal, static_cast<size_t>(n) / 2);
                bool havePrevious = false, written = true;
                CharCode previous = 0;
                forEachChar(content.data(), static_cast<size_t>(n), [&](CharCode c) {
                    postings.addSingle(c);
                    if (havePrevious) postings.addPair(pairKey(previous, c));
                    previous = c;
                    havePrevious = true;
                    // A run may end inside a long document; the merge joins its two parts.
                    if (postings.full() && written) {
                        temporaries.names.push_back(temporaryName(indexFile));
                        File run(std::fopen(temporaries.names.back().c_str(), "w+b"));
                        written = run && writeRun(run.get(), postings);
                        runs.push_back(std::move(run));
                    }
                });
                if (!written) return BuildResult::Failed;
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
    if (!postings.empty()) sources.push_back(std::make_unique<BufferReader>(postings));

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
