#include "aids/dictionary_sources.h"

#include "util/text.h"

#include <bzlib.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>

namespace aids {
namespace {

constexpr size_t kReadChunk = 1 << 16;

bool endsWith(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending;
}

bool startsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

void report(const SourceProgress& progress, const LineReader& reader) {
    if (progress && reader.lineNumber() % 4096 == 0) progress(reader.bytesRead(), reader.size());
}

void reportEnd(const SourceProgress& progress, const LineReader& reader) {
    if (progress) progress(reader.size(), reader.size());
}

std::optional<uint32_t> hexNumber(std::string_view text) {
    uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || text.size() > 6) return std::nullopt;
    return value;
}

std::optional<char32_t> codePointOf(std::string_view text) {
    if (!startsWith(text, "U+")) return std::nullopt;
    const std::optional<uint32_t> value = hexNumber(text.substr(2));
    if (!value || *value > 0x10FFFF) return std::nullopt;
    return char32_t(*value);
}

long numberOr0(std::string_view text) {
    long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::vector<std::string_view> splitOn(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t at = 0;
    for (;;) {
        const size_t end = text.find(separator, at);
        parts.push_back(text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        if (end == std::string_view::npos) return parts;
        at = end + 1;
    }
}

// ---- CC-CEDICT ----

// The text of a line inside a JavaScript template literal: its escapes undone.
std::string unescapeTemplate(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        out += line[i];
    }
    return out;
}

// "TRAD SIMP [pin1 yin1] /gloss/gloss/"
bool parseCedictLine(std::string_view line, CedictEntry& entry) {
    const size_t space1 = line.find(' ');
    if (space1 == std::string_view::npos || space1 == 0) return false;
    const size_t space2 = line.find(' ', space1 + 1);
    if (space2 == std::string_view::npos || space2 == space1 + 1) return false;
    if (space2 + 1 >= line.size() || line[space2 + 1] != '[') return false;
    const size_t close = line.find(']', space2 + 2);
    if (close == std::string_view::npos) return false;
    const std::string_view rest = line.substr(close + 1);
    const size_t firstSlash = rest.find('/');
    if (firstSlash == std::string_view::npos || rest.substr(0, firstSlash).find_first_not_of(' ') != std::string_view::npos)
        return false;
    const std::string_view glossText = rest.substr(firstSlash);
    if (glossText.size() < 2 || glossText.back() != '/') return false;
    entry.traditional = std::string(line.substr(0, space1));
    entry.simplified = std::string(line.substr(space1 + 1, space2 - space1 - 1));
    entry.pinyin = std::string(line.substr(space2 + 2, close - space2 - 2));
    entry.glosses.clear();
    for (std::string_view gloss : splitOn(glossText.substr(1, glossText.size() - 2), '/'))
        if (!gloss.empty()) entry.glosses.emplace_back(gloss);
    return !entry.glosses.empty();
}

// ---- CSV ----

// Splits one CSV record (RFC 4180 quoting); false when a quoted field is still open at its end.
bool splitCsv(std::string_view record, std::vector<std::string>& fields) {
    fields.assign(1, {});
    bool quoted = false;
    for (size_t i = 0; i < record.size(); ++i) {
        const char c = record[i];
        if (quoted) {
            if (c != '"') fields.back() += c;
            else if (i + 1 < record.size() && record[i + 1] == '"') fields.back() += '"', ++i;
            else quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return !quoted;
}

}  // namespace

SourceError::SourceError(const std::string& file, size_t line, const std::string& message)
    : std::runtime_error(file + (line ? ":" + std::to_string(line) : std::string()) + ": " + message) {}

std::string utf8Of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        if (c >= 0xD800 && c <= 0xDFFF) return {};
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else if (c <= 0x10FFFF) {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

// ---- LineReader ----

LineReader::LineReader(const std::string& path) : path_(path), compressed_(endsWith(path, ".bz2")) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) throw SourceError(path, 0, "no such file");
    size_ = std::filesystem::file_size(path, ec);
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) throw SourceError(path, 0, "cannot be read");
    if (compressed_) {
        int error = BZ_OK;
        bz_ = BZ2_bzReadOpen(&error, file_, 0, 0, nullptr, 0);
        if (error != BZ_OK) {
            std::fclose(file_);
            throw SourceError(path, 0, "cannot be read as bzip2 data");
        }
    }
}

LineReader::~LineReader() {
    if (bz_) {
        int error = BZ_OK;
        BZ2_bzReadClose(&error, bz_);
    }
    if (file_) std::fclose(file_);
}

uint64_t LineReader::bytesRead() const {
    const long at = std::ftell(file_);
    return at < 0 ? 0 : std::min<uint64_t>(uint64_t(at), size_);
}

void LineReader::fail(const std::string& message) const { throw SourceError(path_, line_, message); }

// Appends the next piece of the file to the buffer; false at its end.
bool LineReader::fill() {
    if (ended_) return false;
    char chunk[kReadChunk];
    size_t n = 0;
    if (!compressed_) {
        n = std::fread(chunk, 1, sizeof chunk, file_);
        if (n == 0) {
            if (std::ferror(file_)) fail("read error");
            ended_ = true;
            return false;
        }
    } else {
        int error = BZ_OK;
        const int got = BZ2_bzRead(&error, bz_, chunk, int(sizeof chunk));
        // A fault of the compressed data is the fault of the line being read.
        if (error != BZ_OK && error != BZ_STREAM_END)
            throw SourceError(path_, line_ + 1,
                              error == BZ_UNEXPECTED_EOF ? "the compressed data ends early: the file is truncated"
                                                         : "the compressed data is damaged");
        n = size_t(std::max(got, 0));
        if (error == BZ_STREAM_END) {
            // A file may hold several streams one after another (as parallel compressors write).
            void* unused = nullptr;
            int unusedCount = 0;
            BZ2_bzReadGetUnused(&error, bz_, &unused, &unusedCount);
            const std::string rest(static_cast<char*>(unused), size_t(std::max(unusedCount, 0)));
            BZ2_bzReadClose(&error, bz_);
            bz_ = nullptr;
            const int next = std::fgetc(file_);
            if (rest.empty() && next == EOF) {
                ended_ = true;
            } else {
                if (next != EOF) std::ungetc(next, file_);
                bz_ = BZ2_bzReadOpen(&error, file_, 0, 0, const_cast<char*>(rest.data()), int(rest.size()));
                if (error != BZ_OK) throw SourceError(path_, line_ + 1, "the compressed data is damaged");
            }
        }
        if (n == 0) return !ended_ || fill();
    }
    buffer_.erase(0, at_);
    at_ = 0;
    buffer_.append(chunk, n);
    return true;
}

bool LineReader::next(std::string& line) {
    for (;;) {
        const size_t end = buffer_.find('\n', at_);
        if (end != std::string::npos) {
            line.assign(buffer_, at_, end - at_);
            at_ = end + 1;
            break;
        }
        if (buffer_.size() - at_ > kMaxSourceLineBytes) {
            ++line_;
            fail("a line of more than " + std::to_string(kMaxSourceLineBytes) + " bytes");
        }
        if (!fill()) {
            if (at_ >= buffer_.size()) return false;
            line.assign(buffer_, at_);
            at_ = buffer_.size();
            break;
        }
    }
    ++line_;
    if (line.size() > kMaxSourceLineBytes) fail("a line of more than " + std::to_string(kMaxSourceLineBytes) + " bytes");
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// ---- readers ----

void readCedict(const std::string& path, const std::function<void(CedictEntry&&)>& onEntry,
                const SourceProgress& progress) {
    constexpr std::string_view kWrapperStart = "module.exports = `";
    LineReader reader(path);
    std::string line;
    bool wrapped = false, closed = false;
    long declared = -1, entries = 0;
    CedictEntry entry;
    while (reader.next(line)) {
        report(progress, reader);
        if (closed) {
            if (util::trimSpaces(line).empty()) continue;
            reader.fail("text after the end of the CC-CEDICT template literal");
        }
        if (reader.lineNumber() == 1 && startsWith(line, kWrapperStart)) {
            wrapped = true;
            line.erase(0, kWrapperStart.size());
        }
        if (wrapped) {
            // The literal closes with an unescaped backquote.
            for (size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '\\') ++i;
                else if (line[i] == '`') {
                    if (line.find_first_not_of(" ;", i + 1) != std::string::npos)
                        reader.fail("text after the end of the CC-CEDICT template literal");
                    line.erase(i);
                    closed = true;
                    break;
                }
            }
            line = unescapeTemplate(line);
        }
        if (line.empty()) continue;
        if (line[0] == '#') {
            if (startsWith(line, "#! entries=")) declared = numberOr0(std::string_view(line).substr(11));
            continue;
        }
        if (!parseCedictLine(line, entry))
            reader.fail("not a CC-CEDICT entry (TRADITIONAL SIMPLIFIED [pin1 yin1] /gloss/)");
        ++entries;
        onEntry(std::move(entry));
    }
    if (wrapped && !closed) reader.fail("the CC-CEDICT template literal is not closed: the file is truncated");
    if (entries == 0) reader.fail("no CC-CEDICT entries");
    if (declared > entries)
        reader.fail("only " + std::to_string(entries) + " of the " + std::to_string(declared) +
                    " entries its header declares: the file is truncated");
    reportEnd(progress, reader);
}

void readUnihan(const std::string& path, const std::vector<std::string>& fields,
                const std::function<void(char32_t, const std::string&, const std::string&)>& onValue,
                const SourceProgress& progress) {
    LineReader reader(path);
    std::string line;
    size_t values = 0;
    while (reader.next(line)) {
        report(progress, reader);
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string_view> parts = splitOn(line, '\t');
        const std::optional<char32_t> code = parts.size() == 3 ? codePointOf(parts[0]) : std::nullopt;
        if (!code || parts[1].size() < 2 || parts[1][0] != 'k' || parts[2].empty())
            reader.fail("not a Unihan line (U+XXXX<tab>kField<tab>value)");
        ++values;
        const std::string field(parts[1]);
        if (std::ranges::find(fields, field) != fields.end()) onValue(*code, field, std::string(parts[2]));
    }
    if (values == 0) reader.fail("no Unihan values");
    reportEnd(progress, reader);
}

std::map<std::string, char32_t> readCjkRadicals(const std::string& path) {
    LineReader reader(path);
    std::string line;
    std::map<std::string, char32_t> radicals;
    while (reader.next(line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string_view> parts = splitOn(line, ';');
        const std::string number = parts.empty() ? std::string() : util::trimSpaces(parts[0]);
        const bool numbered = !number.empty() && std::isdigit(static_cast<unsigned char>(number[0])) &&
                              number.find_first_not_of("0123456789'") == std::string::npos;
        const std::optional<uint32_t> ideograph =
            parts.size() == 3 ? hexNumber(util::trimSpaces(parts[2])) : std::nullopt;
        if (!numbered || !ideograph || *ideograph > 0x10FFFF)
            reader.fail("not a CJKRadicals line (number; radical; ideograph)");
        radicals[number] = char32_t(*ideograph);
    }
    // The 214 Kangxi radicals are all there in a whole file.
    if (!radicals.contains("214")) reader.fail("radical 214 is missing: the file is truncated");
    return radicals;
}

void readEcdict(const std::string& path, const std::function<void(EcdictRow&&)>& onRow,
                const SourceProgress& progress) {
    LineReader reader(path);
    std::string record, line;
    std::vector<std::string> fields;
    if (!reader.next(record) || !splitCsv(record, fields)) reader.fail("no ECDICT header line");
    const std::vector<std::string> header = fields;
    const auto column = [&](const char* name) {
        const auto found = std::ranges::find(header, name);
        if (found == header.end()) reader.fail(std::string("the header has no column \"") + name + "\"");
        return size_t(found - header.begin());
    };
    const size_t word = column("word"), translation = column("translation"), exchange = column("exchange"),
                 tag = column("tag"), collins = column("collins"), oxford = column("oxford"), bnc = column("bnc"),
                 frq = column("frq");
    while (reader.next(record)) {
        report(progress, reader);
        const size_t firstLine = reader.lineNumber();
        // A quoted field may hold line ends: the record goes on on the next line.
        while (!splitCsv(record, fields)) {
            if (record.size() > kMaxSourceLineBytes) reader.fail("a record of more than 1 MiB");
            if (!reader.next(line))
                throw SourceError(path, firstLine, "a quoted field is not closed: the file is truncated");
            record += '\n' + line;
        }
        if (record.empty()) continue;
        if (fields.size() != header.size())
            throw SourceError(path, firstLine,
                              std::to_string(fields.size()) + " fields where the header has " +
                                  std::to_string(header.size()));
        EcdictRow row;
        row.word = std::move(fields[word]);
        row.translation = std::move(fields[translation]);
        row.exchange = std::move(fields[exchange]);
        row.tag = std::move(fields[tag]);
        row.collins = numberOr0(fields[collins]);
        row.oxford = numberOr0(fields[oxford]);
        row.bnc = numberOr0(fields[bnc]);
        row.frq = numberOr0(fields[frq]);
        onRow(std::move(row));
    }
    reportEnd(progress, reader);
}

}  // namespace aids
