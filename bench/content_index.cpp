// The content index on a generated library of about 1 GB of GBK text that reads like prose:
// words of one to four characters from a vocabulary drawn with a Zipf-like frequency, in
// sentences and paragraphs with full-width punctuation. The library is generated once into
// the build folder (VYNE_INDEX_BENCH_MB sets its text size in MB, 1024 by default).
//
// indexed_search: a search for a three-character key held by about 1% of the documents with
// the index, against the same search by scan; index_build: building the index against one
// scan search; index_size: the index's bytes against the decoded text's. Two- and one-character
// keys are timed the same way for the record.
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "content_index/content_index.h"
#include "store/memory_controls.h"
#include "store_library.h"
#include "util/codepage.h"

namespace {

namespace fs = std::filesystem;
using engine::Bytes;

constexpr int kDocsPerClass = 100;
constexpr size_t kMeanDocBytes = 48 * 1024;

size_t textBytesWanted() {
    const char* mb = std::getenv("VYNE_INDEX_BENCH_MB");
    const long v = mb ? std::atol(mb) : 1024;
    return static_cast<size_t>(std::max(1L, v)) << 20;
}

// Draws ranks 0..n-1 with probability about 1 / (rank + 1).
class Zipf {
public:
    explicit Zipf(size_t n) {
        double sum = 0;
        for (size_t r = 0; r < n; ++r) cumulative_.push_back(sum += 1.0 / double(r + 1));
        for (double& c : cumulative_) c /= sum;
    }
    size_t draw(bench_store::Random& random) const {
        const double x = random.next() / 4294967296.0;
        return static_cast<size_t>(std::lower_bound(cumulative_.begin(), cumulative_.end(), x) - cumulative_.begin());
    }

private:
    std::vector<double> cumulative_;
};

// The 3,755 characters of GB 2312's first level, the common ones.
Bytes character(size_t index) {
    return {static_cast<uint8_t>(0xB0 + index / 94), static_cast<uint8_t>(0xA1 + index % 94)};
}

class ProseMaker {
public:
    ProseMaker() : chars_(3755), words_(40000) {
        for (size_t w = 0; w < 40000; ++w) {
            Bytes word;
            const uint32_t length = 1 + random.below(4) % 3 + (random.below(5) == 0);
            for (uint32_t c = 0; c < length; ++c) {
                const Bytes ch = character(chars_.draw(random) % 3755);
                word.insert(word.end(), ch.begin(), ch.end());
            }
            vocabulary_.push_back(word);
        }
    }
    Bytes make(size_t size) {
        static const Bytes comma{0xA3, 0xAC}, stop{0xA1, 0xA3}, ask{0xA3, 0xBF}, cry{0xA3, 0xA1};
        static const Bytes paragraph{'\r', '\n', 0xA1, 0xA1, 0xA1, 0xA1};
        Bytes text;
        text.reserve(size + 64);
        while (text.size() < size) {
            const uint32_t words = 4 + random.below(14);
            for (uint32_t i = 0; i < words; ++i) {
                const Bytes& w = vocabulary_[words_.draw(random)];
                text.insert(text.end(), w.begin(), w.end());
                if (i + 1 < words && random.below(5) == 0) text.insert(text.end(), comma.begin(), comma.end());
            }
            const uint32_t end = random.below(10);
            const Bytes& mark = end < 7 ? stop : end < 9 ? ask : cry;
            text.insert(text.end(), mark.begin(), mark.end());
            if (random.below(8) == 0) text.insert(text.end(), paragraph.begin(), paragraph.end());
        }
        // End on a character boundary.
        size_t at = 0, cut = 0;
        while (at < size) {
            cut = at;
            at += text[at] >= 0x81 ? 2 : 1;
        }
        text.resize(at == size ? size : cut);
        return text;
    }
    bench_store::Random random;

private:
    Zipf chars_, words_;
    std::vector<Bytes> vocabulary_;
};

// Three characters of middling frequency (ranks 301, 607, 911): together they rarely occur by
// chance, and the key is written into one document in a hundred. Its first one or two
// characters are the shorter keys.
Bytes plantedKey(size_t chars) {
    Bytes key;
    for (size_t i : {size_t{301}, size_t{607}, size_t{911}}) {
        if (key.size() / 2 == chars) break;
        const Bytes ch = character(i);
        key.insert(key.end(), ch.begin(), ch.end());
    }
    return key;
}

struct Library {
    std::string file;
    uint64_t textBytes = 0;
    int documents = 0;
};

const Library& library() {
    static const Library lib = [] {
        Library l;
        const size_t wanted = textBytesWanted();
        const std::string folder = std::string(VYNE_BIN_DIR) + "/bench-data";
        fs::create_directories(folder);
        l.file = folder + "/prose_" + std::to_string(wanted >> 20) + "mb.mdb";
        const std::string facts = l.file + ".facts";
        if (fs::exists(l.file) && fs::exists(facts)) {
            std::ifstream(facts) >> l.textBytes >> l.documents;
            return l;
        }
        fs::remove(l.file);
        {
            bench_store::LibraryWriter w(l.file);
            ProseMaker prose;
            const Bytes key = plantedKey(3);
            int32_t id = 1, cls = 0;
            while (l.textBytes < wanted) {
                if (l.documents % kDocsPerClass == 0) {
                    cls = ++id;
                    w.addClass(cls, 1, "volume " + std::to_string(cls));
                }
                Bytes text = prose.make(kMeanDocBytes / 2 + prose.random.below(kMeanDocBytes));
                if (l.documents % 100 == 37) {
                    size_t at = 0;
                    const size_t target = prose.random.below(static_cast<uint32_t>(text.size() - 16));
                    while (at < target) at += text[at] >= 0x81 ? 2 : 1;
                    if (at + key.size() <= text.size()) std::copy(key.begin(), key.end(), text.begin() + long(at));
                }
                l.textBytes += text.size();
                w.addDoc(++id, cls, "chapter " + std::to_string(l.documents++), std::move(text));
            }
        }
        std::ofstream(facts) << l.textBytes << ' ' << l.documents;
        return l;
    }();
    return lib;
}

store::ctreebook& openBook(bool withIndex) {
    static store::ctreebook scanned, indexed;
    store::ctreebook& b = withIndex ? indexed : scanned;
    if (!b.openOK()) {
        b.setReadOnlyOpen(true);
        b.openDB(library().file);
        if (withIndex) {
            auto index = cindex::openCurrentIndex(library().file, "nr");
            if (!index) throw std::runtime_error("no current index");
            cindex::attach(b, index);
        }
    }
    return b;
}

int32_t search(bool withIndex, const Bytes& key) {
    store::MemoryList list;
    int32_t root = 1;
    return openBook(withIndex).searchKeyToLVWNR(util::ansiToUtf8(key), list, root, "txt");
}

double seconds(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ensureIndexed() {
    static bool done = [] {
        const auto e = cindex::ensureIndex(library().file, "tree", "nr");
        if (!e.index) throw std::runtime_error("index not built");
        bench::figure("index_size", double(e.index->fileSize()), double(library().textBytes));
        std::fprintf(stderr, "library: %d documents, %llu text bytes; index %llu bytes\n", library().documents,
                     static_cast<unsigned long long>(library().textBytes),
                     static_cast<unsigned long long>(e.index->fileSize()));
        for (size_t chars : {3, 2, 1}) {
            const Bytes key = plantedKey(chars);
            const int32_t a = search(true, key), b = search(false, key);
            std::fprintf(stderr, "key of %zu characters: %d documents\n", chars, b);
            if (a != b) throw std::runtime_error("indexed and scanned searches disagree");
        }
        return true;
    }();
    (void)done;
}

}  // namespace

void registerBenchmarks() {
    for (size_t chars : {3, 2, 1}) {
        const std::string name = chars == 3 ? "indexed_search" : "indexed_search_" + std::to_string(chars) + "char";
        bench::sampled(
            name, [chars] { return seconds([chars] { search(true, plantedKey(chars)); }); },
            [chars] { return seconds([chars] { search(false, plantedKey(chars)); }); }, ensureIndexed, 5);
    }
    bench::sampled(
        "index_build",
        [] {
            const std::string file = bench::scratchDir() + "/build.vcix";
            const long before = bench_store::statusKb("VmRSS:");
            std::ofstream("/proc/self/clear_refs") << "5";
            const double took = seconds([&] {
                if (cindex::buildIndex(library().file, "tree", "nr", file) != cindex::BuildResult::Built)
                    throw std::runtime_error("build failed");
            });
            static bool reported = false;
            if (!reported) bench::figure("index_build_memory_mb", std::max(0L, bench_store::statusKb("VmHWM:") - before) / 1024.0, 256);
            reported = true;
            return took;
        },
        [] { return seconds([] { search(false, plantedKey(3)); }); }, ensureIndexed, 5);
}
