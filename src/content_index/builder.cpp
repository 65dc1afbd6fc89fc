// The index builder: posting lists in an open-addressing table, runs, and their merge.
#include "content_index/builder.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <queue>
#include <random>
#include <thread>
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

// The postings of the documents read since the last run was written: a (key, ordinal) pair
// for each key of each document, in document order. Repeats of a key in a document are mostly
// dropped at once (singles exactly, pairs through a small table of recent ones that stays in
// the processor's cache); those left are folded when the lists are read. Sorting by key
// happens once a run.
class PostingBuffer {
public:
    explicit PostingBuffer(size_t memoryBudget)
        : capacity_(std::max<size_t>(4, memoryBudget / (2 * sizeof(uint64_t)))),
          postings_(new uint64_t[capacity_]),
          scratch_(new uint64_t[capacity_]),
          singleSeen_(size_t{1} << 16, 0),
          recent_(kRecent, 0) {}

    // Starts the document of that ordinal.
    void beginDocument(uint32_t ordinal) {
        doc_ = ordinal;
        stamp_ = ordinal + 1;
    }

    void addSingle(CharCode c) {
        if (singleSeen_[c] == stamp_) return;
        singleSeen_[c] = stamp_;
        postings_[size_++] = uint64_t{singleKey(c)} << 32 | doc_;
    }

    void addPair(GramKey key) {
        const uint64_t entry = uint64_t{key} << 32 | stamp_;
        uint64_t& slot = recent_[(key * 0x9E3779B1u) >> (32 - kRecentBits)];
        if (slot == entry) return;
        slot = entry;
        postings_[size_++] = uint64_t{key} << 32 | doc_;
    }

    // Whether the next character could take the buffer past its budget.
    bool full() const { return size_ + 2 >= capacity_; }
    bool empty() const { return size_ == 0; }

    // Sorts the postings by key, keeping document order within a key (three stable passes).
    void sort() {
        for (unsigned shift : {32u, 43u, 54u}) {
            std::vector<size_t> starts(size_t{1} << 11, 0);
            for (size_t i = 0; i < size_; ++i) ++starts[(postings_[i] >> shift) & 0x7FF];
            size_t sum = 0;
            for (size_t& s : starts) sum += std::exchange(s, sum);
            for (size_t i = 0; i < size_; ++i) {
                const uint64_t p = postings_[i];
                scratch_[starts[(p >> shift) & 0x7FF]++] = p;
            }
            std::swap(postings_, scratch_);
        }
    }

    // After sort(): the next key's list, false at the end.
    bool next(List& out) {
        if (at_ == size_) return false;
        out.key = static_cast<GramKey>(postings_[at_] >> 32);
        out.count = 0;
        out.gaps.clear();
        for (; at_ < size_ && (postings_[at_] >> 32) == out.key; ++at_) {
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

    void clear() { size_ = at_ = 0; }

private:
    static constexpr unsigned kRecentBits = 12;
    static constexpr size_t kRecent = size_t{1} << kRecentBits;
    size_t capacity_;
    std::unique_ptr<uint64_t[]> postings_, scratch_;
    size_t size_ = 0, at_ = 0;
    std::vector<uint32_t> singleSeen_;  // the stamp of the document each character was last in
    std::vector<uint64_t> recent_;      // key << 32 | stamp of pairs lately added
    uint32_t stamp_ = 0, doc_ = 0;
};

// Writes bytes to a file in large blocks.
class BlockWriter {
public:
    explicit BlockWriter(FILE* f) : f_(f) { block_.reserve(kBlock); }
    void put32(uint32_t v) {
        for (int i = 0; i < 4; ++i) block_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void put(const std::vector<uint8_t>& bytes) {
        block_.insert(block_.end(), bytes.begin(), bytes.end());
        if (block_.size() >= kBlock) flush();
    }
    bool flush() {
        ok_ = ok_ && writeAll(f_, block_.data(), block_.size());
        block_.clear();
        return ok_;
    }

private:
    static constexpr size_t kBlock = size_t{1} << 20;
    FILE* f_;
    std::vector<uint8_t> block_;
    bool ok_ = true;
};

// A run as written to its file: key, count, first, last, gap bytes, the gaps.
bool writeRun(FILE* f, PostingBuffer& buffer) {
    buffer.sort();
    BlockWriter out(f);
    List l;
    while (buffer.next(l)) {
        for (uint32_t v : {l.key, l.count, l.first, l.last, static_cast<uint32_t>(l.gaps.size())}) out.put32(v);
        out.put(l.gaps);
    }
    buffer.clear();
    return out.flush() && std::fflush(f) == 0;
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
        uint8_t head[20];
        if (available() == 0) return false;  // the end of the run
        if (!take(head, sizeof head)) return fail();
        auto field = [&head](int i) {
            const uint8_t* p = head + 4 * i;
            return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
        };
        out.key = field(0);
        out.count = field(1);
        out.first = field(2);
        out.last = field(3);
        out.gaps.resize(field(4));
        return take(out.gaps.data(), out.gaps.size()) || fail();
    }
    bool error() const override { return error_; }

private:
    static constexpr size_t kBlock = size_t{1} << 20;
    // Bytes in the block, reading the next one when it is used up.
    size_t available() {
        if (at_ == block_.size()) {
            block_.resize(kBlock);
            block_.resize(std::fread(block_.data(), 1, kBlock, f_));
            at_ = 0;
        }
        return block_.size() - at_;
    }
    bool take(uint8_t* to, size_t n) {
        while (n > 0) {
            const size_t here = std::min(n, available());
            if (here == 0) return false;
            std::copy_n(block_.data() + at_, here, to);
            at_ += here;
            to += here;
            n -= here;
        }
        return true;
    }
    bool fail() {
        error_ = true;
        return false;
    }
    FILE* f_;
    std::vector<uint8_t> block_;
    size_t at_ = 0;
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
// written to out, writing one dictionary entry per key to dict.
bool mergeLists(std::vector<std::unique_ptr<ListSource>>& sources, FILE* out, FILE* dict,
                uint32_t& keyCount, uint64_t& postingsLength) {
    struct Head {
        GramKey key;
        size_t source;
        bool operator>(const Head& o) const { return key != o.key ? key > o.key : source > o.source; }
    };
    std::vector<List> current(sources.size());
    std::priority_queue<Head, std::vector<Head>, std::greater<>> heads;
    for (size_t s = 0; s < sources.size(); ++s)
        if (sources[s]->next(current[s])) heads.push({current[s].key, s});
    BlockWriter postings(out), entries(dict);
    std::vector<uint8_t> bytes, entry;
    keyCount = 0;
    postingsLength = 0;
    while (!heads.empty()) {
        const GramKey key = heads.top().key;
        bytes.clear();
        bool any = false;
        uint32_t last = 0;
        while (!heads.empty() && heads.top().key == key) {
            const size_t s = heads.top().source;
            heads.pop();
            const List& l = current[s];
            // A document split between two runs starts the later list where the earlier ended.
            if (!any || l.first != last) appendVarint(bytes, any ? l.first - last : l.first);
            bytes.insert(bytes.end(), l.gaps.begin(), l.gaps.end());
            any = true;
            last = l.last;
            if (sources[s]->next(current[s])) heads.push({current[s].key, s});
        }
        entry.clear();
        appendDictEntry(entry, {key, Modcrc32::updateCRC32(0, bytes.data(), bytes.size()), postingsLength, 0});
        entries.put(entry);
        postings.put(bytes);
        ++keyCount;
        postingsLength += bytes.size();
    }
    for (const auto& s : sources)
        if (s->error()) return false;
    return postings.flush() && entries.flush();
}

// Appends the dictionary file to out, continuing crc over it; its size, or nothing on failure.
std::optional<uint64_t> appendDictionary(FILE* dict, FILE* out, uint32_t& crc) {
    std::vector<uint8_t> block(size_t{1} << 20);
    uint64_t size = 0;
    std::rewind(dict);
    for (size_t n; (n = std::fread(block.data(), 1, block.size(), dict)) > 0; size += n) {
        crc = Modcrc32::updateCRC32(crc, block.data(), n);
        if (!writeAll(out, block.data(), n)) return std::nullopt;
    }
    if (std::ferror(dict)) return std::nullopt;
    return size;
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

// Contents handed from the thread that reads the library to the one that walks them, holding
// at most a budget of bytes (one content larger than that passes alone).
class ContentQueue {
public:
    explicit ContentQueue(size_t budget) : budget_(budget) {}

    // Waits for room; false once the queue is closed.
    bool push(uint32_t ordinal, store::Bytes content) {
        std::unique_lock lock(mutex_);
        roomLeft_.wait(lock, [&] { return closed_ || held_ == 0 || held_ + content.size() <= budget_; });
        if (closed_) return false;
        held_ += content.size();
        items_.push_back({ordinal, std::move(content)});
        filled_.notify_one();
        return true;
    }

    // Waits for the next content; false once the queue is closed and has given out all it held.
    bool pop(uint32_t& ordinal, store::Bytes& content) {
        std::unique_lock lock(mutex_);
        filled_.wait(lock, [&] { return closed_ || !items_.empty(); });
        if (items_.empty()) return false;
        ordinal = items_.front().ordinal;
        content = std::move(items_.front().content);
        items_.pop_front();
        held_ -= content.size();
        roomLeft_.notify_one();
        return true;
    }

    // No more pushes; what is held can still be popped unless it is dropped.
    void close(bool dropHeld = false) {
        std::lock_guard lock(mutex_);
        closed_ = true;
        if (dropHeld) items_.clear();
        filled_.notify_all();
        roomLeft_.notify_all();
    }

private:
    struct Item {
        uint32_t ordinal;
        store::Bytes content;
    };
    const size_t budget_;
    std::mutex mutex_;
    std::condition_variable filled_, roomLeft_;
    std::deque<Item> items_;
    size_t held_ = 0;
    bool closed_ = false;
};

// Walks the contents of a queue into postings on a thread of its own, writing a run whenever
// the postings reach their budget. Reading the library and walking its text take about as long
// each, so the two run side by side. The thread is joined when the walker goes.
class PostingWalker {
public:
    PostingWalker(size_t memoryBudget, const std::string& indexFile, TemporaryFiles& temporaries)
        : postings_(memoryBudget), indexFile_(indexFile), temporaries_(temporaries),
          thread_([this] { walkAll(); }) {}
    // A walker given up on drops what it has not walked yet.
    ~PostingWalker() {
        queue_.close(true);
        if (thread_.joinable()) thread_.join();
    }

    // Hands over the next content; false once the walker has failed.
    bool add(uint32_t ordinal, store::Bytes content) { return queue_.push(ordinal, std::move(content)); }

    // Waits until every content handed over is walked; false when a run could not be written.
    bool finish() {
        queue_.close();
        if (thread_.joinable()) thread_.join();
        return written_;
    }

    // After finish(): the runs written, and the postings left in memory.
    std::vector<File>& runs() { return runs_; }
    PostingBuffer& postings() { return postings_; }

private:
    static constexpr size_t kQueueBudget = size_t{16} << 20;

    void walkAll() {
        uint32_t ordinal = 0;
        store::Bytes content;
        while (queue_.pop(ordinal, content)) {
            if (!walk(ordinal, content)) {
                written_ = false;
                queue_.close();
                return;
            }
        }
    }

    bool walk(uint32_t ordinal, const store::Bytes& content) {
        postings_.beginDocument(ordinal);
        bool havePrevious = false, written = true;
        CharCode previous = 0;
        forEachChar(content.data(), content.size(), [&](CharCode c) {
            postings_.addSingle(c);
            if (havePrevious) postings_.addPair(pairKey(previous, c));
            previous = c;
            havePrevious = true;
            // A run may end inside a long document; the merge joins its two parts.
            if (postings_.full() && written) written = writeNextRun();
        });
        return written;
    }

    bool writeNextRun() {
        temporaries_.names.push_back(temporaryName(indexFile_));
        File run(std::fopen(temporaries_.names.back().c_str(), "w+b"));
        const bool written = run && writeRun(run.get(), postings_);
        runs_.push_back(std::move(run));
        return written;
    }

    PostingBuffer postings_;
    const std::string& indexFile_;
    TemporaryFiles& temporaries_;
    std::vector<File> runs_;
    bool written_ = true;
    ContentQueue queue_{kQueueBudget};
    std::thread thread_;  // last: starts once everything it uses is made
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
    std::vector<DocEntry> docs;
    PostingWalker walker(options.memoryBudget, indexFile, temporaries);
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
                store::Bytes content;
                const int32_t n = book.getCurrNR(content);
                if (n <= 0) continue;
                content.resize(std::min(content.size(), static_cast<size_t>(n)));
                const auto ordinal = static_cast<uint32_t>(docs.size());
                docs.push_back(doc);
                if (!walker.add(ordinal, std::move(content))) return BuildResult::Failed;
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
    if (!walker.finish()) return BuildResult::Failed;
    if (identityOf(libraryFile, contentTable) != before) return BuildResult::Changed;
    if (docs.size() > kMaxDocs) return BuildResult::Failed;

    std::vector<std::unique_ptr<ListSource>> sources;
    for (File& run : walker.runs()) sources.push_back(std::make_unique<RunReader>(run.get()));
    if (!walker.postings().empty()) sources.push_back(std::make_unique<BufferReader>(walker.postings()));

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
    temporaries.names.push_back(temporaryName(indexFile));
    File dict(std::fopen(temporaries.names.back().c_str(), "w+b"));
    if (!dict || !mergeLists(sources, out.get(), dict.get(), h.keyCount, h.postingsLength)) return BuildResult::Failed;
    h.postingsOffset = header.size() + docBytes.size();
    h.dictOffset = h.postingsOffset + h.postingsLength;
    h.fileSize = h.dictOffset + uint64_t{h.keyCount} * kDictEntrySize;
    header = encodeHeader(h);
    uint32_t crc = Modcrc32::updateCRC32(headerChecksumStart(header), docBytes.data(), docBytes.size());
    if (appendDictionary(dict.get(), out.get(), crc) != uint64_t{h.keyCount} * kDictEntrySize)
        return BuildResult::Failed;
    h.checksum = crc;
    header = encodeHeader(h);
    if (std::fseek(out.get(), 0, SEEK_SET) != 0 || !writeAll(out.get(), header.data(), header.size()) ||
        std::fclose(out.release()) != 0)
        return BuildResult::Failed;
    fs::rename(temporary, indexFile, ec);
    if (ec) return BuildResult::Failed;
    std::erase(temporaries.names, temporary);
    return BuildResult::Built;
}

}  // namespace cindex
