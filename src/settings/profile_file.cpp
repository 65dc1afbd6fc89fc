#include "settings/profile_file.h"

#include "util/codepage.h"
#include "util/file_io.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace settings {
namespace {

using util::Bytes;

// How long a change waits for another program's change to the same file.
constexpr int kLockWaitMs = 2000;
// Parsed files kept for the next read; a file is parsed again once its stamp changes.
constexpr size_t kCachedFiles = 8;
// Section names found by one pass over a file; others are looked for line by line.
constexpr size_t kIndexedSections = 4096;

bool isBlank(uint8_t c) { return c == ' ' || c == '\t'; }

// An ASCII letter's lower case; the second byte of a two-byte character is never folded.
uint8_t fold(uint8_t c) { return c >= 'A' && c <= 'Z' ? uint8_t(c - 'A' + 'a') : c; }
bool isLeadByte(uint8_t c) { return c >= 0x81 && c <= 0xFE; }

// The name as names are compared: code page 936 bytes with ASCII letters in lower case.
Bytes foldName(const uint8_t* data, size_t size) {
    Bytes folded(data, data + size);
    for (size_t i = 0; i < size; ++i) {
        if (isLeadByte(folded[i]) && i + 1 < size)
            ++i;
        else
            folded[i] = fold(folded[i]);
    }
    return folded;
}

Bytes trimmedAnsi(const std::string& utf8) {
    Bytes ansi = util::utf8ToAnsi(utf8);
    size_t first = 0, last = ansi.size();
    while (first < last && isBlank(ansi[first])) ++first;
    while (last > first && isBlank(ansi[last - 1])) --last;
    return Bytes(ansi.begin() + std::ptrdiff_t(first), ansi.begin() + std::ptrdiff_t(last));
}

// One line: [begin, contentEnd) is its text without the line end; next is where the next
// line begins (the end of the bytes after the last line).
struct Line {
    size_t begin = 0, contentEnd = 0, next = 0;
    enum class Kind { Other, Section, Key } kind = Kind::Other;
    size_t nameBegin = 0, nameEnd = 0;    // the section or key name, trimmed
    size_t valueBegin = 0, valueEnd = 0;  // key lines: the text after "=", trimmed
    bool terminated = false;  // by a line feed; the last line of a file may lack one, or have a CR only
};

class Document {
public:
    Bytes bytes;

    Line lineAt(size_t pos) const {
        Line line;
        line.begin = pos;
        const void* nl = std::memchr(bytes.data() + pos, '\n', bytes.size() - pos);
        const size_t end = nl ? size_t(static_cast<const uint8_t*>(nl) - bytes.data()) : bytes.size();
        line.next = nl ? end + 1 : bytes.size();
        line.terminated = nl != nullptr;
        line.contentEnd = end > pos && bytes[end - 1] == '\r' ? end - 1 : end;
        classify(line);
        return line;
    }

    // Calls f(line) for the lines in [from, to) until f answers false.
    template <class F>
    void forLines(size_t from, size_t to, F f) const {
        for (size_t pos = from; pos < to;) {
            Line line = lineAt(pos);
            if (!f(line)) return;
            pos = line.next;
        }
    }

    // The first section of the name: its header line begins at `header`, its lines run from
    // `body` to `end` (the next section's header or the end of the file).
    struct Section {
        size_t header = 0, body = 0, end = 0;
    };
    std::optional<Section> findSection(const Bytes& folded) const {
        std::optional<Section> found;
        forLines(0, bytes.size(), [&](const Line& line) {
            if (line.kind != Line::Kind::Section) return true;
            if (found) {
                found->end = line.begin;
                return false;
            }
            if (nameIs(line, folded)) found = Section{line.begin, line.next, bytes.size()};
            return true;
        });
        return found;
    }

    // The first sections of each name, by folded name, found in one pass: at most `most`
    // names; `complete` tells whether every section of the file is among them.
    std::map<Bytes, Section> indexSections(size_t most, bool& complete) const {
        std::map<Bytes, Section> index;
        Section* open = nullptr;
        complete = true;
        forLines(0, bytes.size(), [&](const Line& line) {
            if (line.kind != Line::Kind::Section) return true;
            if (open) open->end = line.begin;
            open = nullptr;
            Bytes name = foldName(bytes.data() + line.nameBegin, line.nameEnd - line.nameBegin);
            if (index.count(name)) return true;
            if (index.size() >= most) {
                complete = false;
                return false;
            }
            open = &(index[name] = Section{line.begin, line.next, bytes.size()});
            return true;
        });
        return index;
    }

    std::optional<Line> findKey(const Section& section, const Bytes& folded) const {
        std::optional<Line> found;
        forLines(section.body, section.end, [&](const Line& line) {
            if (line.kind == Line::Kind::Key && nameIs(line, folded)) found = line;
            return !found;
        });
        return found;
    }

    std::string text(size_t begin, size_t end) const { return util::ansiToUtf8(bytes.data() + begin, end - begin); }

    // A section or key name as text, when the text names it again: bytes that are no code page
    // 936 character turn into "?", and no read could find the name by that.
    std::optional<std::string> nameText(const Line& line) const {
        std::string name = text(line.nameBegin, line.nameEnd);
        const Bytes back = util::utf8ToAnsi(name);
        if (!std::equal(back.begin(), back.end(), bytes.begin() + std::ptrdiff_t(line.nameBegin),
                        bytes.begin() + std::ptrdiff_t(line.nameEnd)))
            return std::nullopt;
        return name;
    }

    // The key's value as a read gives it: up to a NUL byte, without one pair of quotes.
    std::string valueOf(const Line& line) const {
        size_t begin = line.valueBegin, end = line.valueEnd;
        if (const void* nul = std::memchr(bytes.data() + begin, 0, end - begin))
            end = size_t(static_cast<const uint8_t*>(nul) - bytes.data());
        if (end - begin >= 2 && (bytes[begin] == '"' || bytes[begin] == '\'') && bytes[end - 1] == bytes[begin]) {
            ++begin;
            --end;
        }
        return text(begin, end);
    }

    // Writing: see profileWrite. False when nothing changed.
    bool setKey(const Bytes& section, const Bytes& key, const Bytes& value) {
        Bytes entry = key;
        entry.push_back('=');
        entry.insert(entry.end(), value.begin(), value.end());
        const Bytes folded = foldName(section.data(), section.size());
        auto range = editedSection(folded);
        if (!range) {
            if (!bytes.empty() && bytes.back() != '\n') append({'\r', '\n'});
            Bytes header{'['};
            header.insert(header.end(), section.begin(), section.end());
            header.push_back(']');
            const size_t at = bytes.size();
            appendLine(header);
            const size_t body = bytes.size();
            appendLine(entry);
            recent_ = {folded, Section{at, body, bytes.size()}};
            return true;
        }
        if (auto at = findKey(*range, foldName(key.data(), key.size()))) {
            // The stored spelling of the name stays; the line end too.
            if (Bytes(bytes.begin() + std::ptrdiff_t(at->valueBegin), bytes.begin() + std::ptrdiff_t(at->valueEnd)) ==
                value)
                return false;
            Bytes rewritten(bytes.begin() + std::ptrdiff_t(at->nameBegin), bytes.begin() + std::ptrdiff_t(at->nameEnd));
            rewritten.push_back('=');
            rewritten.insert(rewritten.end(), value.begin(), value.end());
            bytes.erase(bytes.begin() + std::ptrdiff_t(at->begin), bytes.begin() + std::ptrdiff_t(at->contentEnd));
            bytes.insert(bytes.begin() + std::ptrdiff_t(at->begin), rewritten.begin(), rewritten.end());
            recent_->second.end = recent_->second.end + rewritten.size() - (at->contentEnd - at->begin);
            return true;
        }
        // After the section's last key (its header when it has none): blank lines and
        // comments that end the section stay in front of the next one.
        Line last = lineAt(range->header);
        forLines(range->body, range->end, [&](const Line& line) {
            if (line.kind == Line::Kind::Key) last = line;
            return true;
        });
        size_t at = last.next;
        Bytes inserted;
        // A last line without its line feed gets one first (after its CR, when it has one).
        if (!last.terminated) inserted = last.next > last.contentEnd ? Bytes{'\n'} : Bytes{'\r', '\n'};
        inserted.insert(inserted.end(), entry.begin(), entry.end());
        inserted.insert(inserted.end(), {'\r', '\n'});
        bytes.insert(bytes.begin() + std::ptrdiff_t(at), inserted.begin(), inserted.end());
        recent_->second.end += inserted.size();
        return true;
    }

    bool deleteKey(const Bytes& section, const Bytes& key) {
        auto range = editedSection(foldName(section.data(), section.size()));
        if (!range) return false;
        auto at = findKey(*range, foldName(key.data(), key.size()));
        if (!at) return false;
        bytes.erase(bytes.begin() + std::ptrdiff_t(at->begin), bytes.begin() + std::ptrdiff_t(at->next));
        recent_->second.end -= at->next - at->begin;
        return true;
    }

    bool deleteSection(const Bytes& section) {
        recent_.reset();
        auto range = findSection(foldName(section.data(), section.size()));
        if (!range) return false;
        bytes.erase(bytes.begin() + std::ptrdiff_t(range->header), bytes.begin() + std::ptrdiff_t(range->end));
        return true;
    }

private:
    // The section the edits went to last, kept up to date by them: a save writes many keys of
    // one section in a row, and each would otherwise look for it through the whole file.
    std::optional<std::pair<Bytes, Section>> recent_;

    std::optional<Section> editedSection(const Bytes& folded) {
        if (recent_ && recent_->first == folded) return recent_->second;
        recent_.reset();
        auto found = findSection(folded);
        if (found) recent_ = {folded, *found};
        return found;
    }

    void classify(Line& line) const {
        size_t p = line.begin;
        while (p < line.contentEnd && isBlank(bytes[p])) ++p;
        if (p == line.contentEnd || bytes[p] == ';') return;
        if (bytes[p] == '[') {
            line.kind = Line::Kind::Section;
            const void* close = std::memchr(bytes.data() + p + 1, ']', line.contentEnd - p - 1);
            trimInto(line.nameBegin, line.nameEnd, p + 1,
                     close ? size_t(static_cast<const uint8_t*>(close) - bytes.data()) : line.contentEnd);
            return;
        }
        const void* eq = std::memchr(bytes.data() + p, '=', line.contentEnd - p);
        if (!eq) return;
        const size_t at = size_t(static_cast<const uint8_t*>(eq) - bytes.data());
        line.kind = Line::Kind::Key;
        trimInto(line.nameBegin, line.nameEnd, p, at);
        trimInto(line.valueBegin, line.valueEnd, at + 1, line.contentEnd);
    }

    void trimInto(size_t& begin, size_t& end, size_t from, size_t to) const {
        while (from < to && isBlank(bytes[from])) ++from;
        while (to > from && isBlank(bytes[to - 1])) --to;
        begin = from;
        end = to;
    }

    // Compares the line's name, folding as foldName does, with a folded name.
    bool nameIs(const Line& line, const Bytes& folded) const {
        if (line.nameEnd - line.nameBegin != folded.size()) return false;
        for (size_t i = 0; i < folded.size(); ++i) {
            const uint8_t c = bytes[line.nameBegin + i];
            if (isLeadByte(c) && i + 1 < folded.size()) {
                if (c != folded[i] || bytes[line.nameBegin + i + 1] != folded[i + 1]) return false;
                ++i;
            } else if (fold(c) != folded[i]) {
                return false;
            }
        }
        return true;
    }

    void append(std::initializer_list<uint8_t> more) { bytes.insert(bytes.end(), more); }
    void appendLine(const Bytes& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        append({'\r', '\n'});
    }
};

// A file as it was read, and what reads found in it so far.
struct Snapshot {
    util::FileStamp stamp;
    bool readable = false;
    Document doc;
    std::map<Bytes, std::optional<Document::Section>> sections;
    bool indexed = false, indexComplete = false;
    std::map<std::pair<Bytes, Bytes>, std::optional<std::string>> values;
};

std::mutex gMutex;  // guards everything below
std::map<std::string, std::shared_ptr<Snapshot>> gCache;

}  // namespace

struct ProfileBatch::State {
    std::unique_ptr<util::FileLock> lock;
    std::shared_ptr<Snapshot> snapshot;  // the batch's own copy, changed in memory
    bool writable = false;
    bool dirty = false;
    bool failed = false;
};

namespace {

std::map<std::string, ProfileBatch::State> gBatches;

std::shared_ptr<Snapshot> unreadable() { return std::make_shared<Snapshot>(); }

// The file as it is now (as a batch of it has it); gMutex held.
std::shared_ptr<Snapshot> current(const std::string& file) {
    if (auto batch = gBatches.find(file); batch != gBatches.end()) return batch->second.snapshot;
    auto stamp = util::fileStamp(file);
    if (!stamp) return unreadable();
    if (auto cached = gCache.find(file); cached != gCache.end() && cached->second->stamp == *stamp)
        return cached->second;
    auto bytes = util::readWholeFile(file, kMaxProfileBytes);
    if (!bytes) return unreadable();
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->stamp = *stamp;
    snapshot->readable = true;
    snapshot->doc.bytes = std::move(*bytes);
    if (gCache.size() >= kCachedFiles && !gCache.count(file)) gCache.erase(gCache.begin());
    gCache[file] = snapshot;
    return snapshot;
}

std::optional<Document::Section> sectionOf(Snapshot& s, const std::string& section) {
    Bytes name = trimmedAnsi(section);
    Bytes folded = foldName(name.data(), name.size());
    if (!s.indexed) {
        for (auto& [name, range] : s.doc.indexSections(kIndexedSections, s.indexComplete)) s.sections[name] = range;
        s.indexed = true;
    }
    auto known = s.sections.find(folded);
    if (known != s.sections.end()) return known->second;
    if (s.indexComplete) return std::nullopt;
    return s.sections[folded] = s.doc.findSection(folded);
}

bool validName(const std::string& name, bool isKey) {
    if (name.find_first_of("\r\n") != std::string::npos) return false;
    if (isKey && name.find('=') != std::string::npos) return false;
    Bytes trimmed = trimmedAnsi(name);
    if (trimmed.empty()) return false;
    // A key must not read back as a section header or a comment, nor a section end early.
    if (isKey) return trimmed.front() != '[' && trimmed.front() != ';';
    return std::find(trimmed.begin(), trimmed.end(), ']') == trimmed.end();
}

// Applies one change to the document; false when nothing changed.
bool apply(Document& doc, const std::string& section, const std::optional<std::string>& key,
           const std::optional<std::string>& value) {
    const Bytes sectionName = trimmedAnsi(section);
    if (!key) return doc.deleteSection(sectionName);
    if (!value) return doc.deleteKey(sectionName, trimmedAnsi(*key));
    return doc.setKey(sectionName, trimmedAnsi(*key), util::utf8ToAnsi(*value));
}

}  // namespace

std::optional<std::string> profileRead(const std::string& file, const std::string& section, const std::string& key) {
    std::lock_guard guard(gMutex);
    auto s = current(file);
    if (!s->readable) return std::nullopt;
    auto range = sectionOf(*s, section);
    if (!range) return std::nullopt;
    const Bytes sectionName = trimmedAnsi(section), keyName = trimmedAnsi(key);
    const std::pair<Bytes, Bytes> id{foldName(sectionName.data(), sectionName.size()),
                                     foldName(keyName.data(), keyName.size())};
    if (auto known = s->values.find(id); known != s->values.end()) return known->second;
    std::optional<std::string> value;
    if (auto line = s->doc.findKey(*range, id.second)) value = s->doc.valueOf(*line);
    return s->values[id] = value;
}

bool profileWrite(const std::string& file, const std::string& section, const std::optional<std::string>& key,
                  const std::optional<std::string>& value) {
    if (!validName(section, false) || (key && !validName(*key, true)) ||
        (value && value->find_first_of("\r\n") != std::string::npos))
        return false;
    std::lock_guard guard(gMutex);
    if (auto batch = gBatches.find(file); batch != gBatches.end()) {
        ProfileBatch::State& state = batch->second;
        if (!state.writable) {
            state.failed = true;
            return false;
        }
        if (apply(state.snapshot->doc, section, key, value)) {
            state.dirty = true;
            state.snapshot->sections.clear();
            state.snapshot->values.clear();
            state.snapshot->indexed = false;
        }
        return true;
    }
    util::FileLock lock(file + ".lock", kLockWaitMs);
    if (!lock.locked() || util::isReadOnlyFile(file)) return false;
    auto s = current(file);  // read again inside the lock: another program may have written
    if (!s->readable) return false;
    Document doc = s->doc;
    if (!apply(doc, section, key, value)) return true;
    if (!util::replaceFile(file, doc.bytes)) return false;
    gCache.erase(file);
    return true;
}

std::vector<std::string> profileKeys(const std::string& file, const std::string& section) {
    std::lock_guard guard(gMutex);
    std::vector<std::string> names;
    auto s = current(file);
    if (!s->readable) return names;
    if (auto range = sectionOf(*s, section))
        s->doc.forLines(range->body, range->end, [&](const Line& line) {
            if (line.kind != Line::Kind::Key) return true;
            if (auto name = s->doc.nameText(line)) names.push_back(std::move(*name));
            return true;
        });
    return names;
}

std::vector<std::string> profileSections(const std::string& file) {
    std::lock_guard guard(gMutex);
    std::vector<std::string> names;
    auto s = current(file);
    if (!s->readable) return names;
    s->doc.forLines(0, s->doc.bytes.size(), [&](const Line& line) {
        if (line.kind != Line::Kind::Section) return true;
        if (auto name = s->doc.nameText(line)) names.push_back(std::move(*name));
        return true;
    });
    return names;
}

ProfileBatch::ProfileBatch(const std::string& file) : file_(file) {
    std::lock_guard guard(gMutex);
    if (gBatches.count(file)) return;
    outer_ = true;
    State state;
    state.lock = std::make_unique<util::FileLock>(file + ".lock", kLockWaitMs);
    auto s = current(file);
    state.snapshot = std::make_shared<Snapshot>();
    state.snapshot->readable = s->readable;
    state.snapshot->doc = s->doc;
    state.writable = s->readable && state.lock->locked() && !util::isReadOnlyFile(file);
    gBatches.emplace(file, std::move(state));
}

ProfileBatch::~ProfileBatch() { commit(); }

bool ProfileBatch::commit() {
    std::lock_guard guard(gMutex);
    auto batch = gBatches.find(file_);
    if (committed_ || batch == gBatches.end()) return result_;
    State& state = batch->second;
    if (!outer_) return !state.failed;
    committed_ = true;
    result_ = !state.failed;
    if (result_ && state.dirty) result_ = util::replaceFile(file_, state.snapshot->doc.bytes);
    gCache.erase(file_);
    gBatches.erase(batch);
    return result_;
}

}  // namespace settings
