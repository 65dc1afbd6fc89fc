// Encoding the content index file, and opening and answering from one.
#include "content_index/index_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "util/crc32.h"

namespace cindex {

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put64(std::vector<uint8_t>& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
uint32_t get32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint64_t get64(const uint8_t* p) { return uint64_t{get32(p)} | uint64_t{get32(p + 4)} << 32; }

bool readAt(std::ifstream& in, uint64_t offset, std::vector<uint8_t>& out, size_t length) {
    out.resize(length);
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    return length == 0 || static_cast<bool>(in.read(reinterpret_cast<char*>(out.data()),
                                                     static_cast<std::streamsize>(length)));
}

}  // namespace

void appendVarint(std::vector<uint8_t>& out, uint32_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<uint8_t>(v));
}

std::vector<uint8_t> encodeHeader(const Header& h) {
    std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
    put32(out, h.version);
    put32(out, h.checksum);
    put64(out, h.library.size);
    put64(out, static_cast<uint64_t>(h.library.mtimeNs));
    put32(out, h.library.changeCounter);
    put32(out, h.docCount);
    put32(out, h.keyCount);
    put32(out, static_cast<uint32_t>(h.library.path.size()));
    put32(out, static_cast<uint32_t>(h.library.contentTable.size()));
    put32(out, 0);
    put64(out, h.postingsOffset);
    put64(out, h.postingsLength);
    put64(out, h.dictOffset);
    put64(out, h.fileSize);
    out.insert(out.end(), h.library.path.begin(), h.library.path.end());
    out.insert(out.end(), h.library.contentTable.begin(), h.library.contentTable.end());
    return out;
}

std::vector<uint8_t> encodeDocs(const std::vector<DocEntry>& docs) {
    std::vector<uint8_t> out;
    out.reserve(docs.size() * kDocEntrySize);
    for (const DocEntry& d : docs) {
        put32(out, static_cast<uint32_t>(d.id));
        put32(out, static_cast<uint32_t>(d.size));
        put32(out, static_cast<uint32_t>(d.crc));
        put32(out, d.zed ? 1 : 0);
    }
    return out;
}

void appendDictEntry(std::vector<uint8_t>& out, const DictEntry& e) {
    put32(out, e.key);
    put32(out, e.crc);
    put64(out, e.offset);
}

uint32_t headerChecksumStart(const std::vector<uint8_t>& header) {
    return Modcrc32::updateCRC32(0, header.data() + 16, header.size() - 16);
}

std::shared_ptr<ContentIndex> ContentIndex::open(const std::string& indexFile,
                                                 const LibraryIdentity& library, bool verifyAll) {
    std::shared_ptr<ContentIndex> index(new ContentIndex);
    std::ifstream& in = index->file_;
    in.open(indexFile, std::ios::binary);
    if (!in) return nullptr;
    std::error_code ec;
    const uint64_t actualSize = std::filesystem::file_size(indexFile, ec);
    if (ec || actualSize < kHeaderSize) return nullptr;

    std::vector<uint8_t> header;
    if (!readAt(in, 0, header, kHeaderSize)) return nullptr;
    if (std::memcmp(header.data(), kMagic, sizeof kMagic) != 0) return nullptr;
    const uint8_t* p = header.data();
    Header h;
    h.version = get32(p + 8);
    h.checksum = get32(p + 12);
    h.library.size = get64(p + 16);
    h.library.mtimeNs = static_cast<int64_t>(get64(p + 24));
    h.library.changeCounter = get32(p + 32);
    h.docCount = get32(p + 36);
    h.keyCount = get32(p + 40);
    const uint32_t pathLen = get32(p + 44), tableLen = get32(p + 48);
    h.postingsOffset = get64(p + 56);
    h.postingsLength = get64(p + 64);
    h.dictOffset = get64(p + 72);
    h.fileSize = get64(p + 80);
    if (h.version != kVersion || h.fileSize != actualSize || pathLen > kMaxPath ||
        tableLen > kMaxPath || h.docCount > kMaxDocs)
        return nullptr;
    const uint64_t docsOffset = kHeaderSize + pathLen + tableLen;
    if (h.postingsOffset != docsOffset + uint64_t{h.docCount} * kDocEntrySize ||
        h.postingsLength > actualSize || h.dictOffset != h.postingsOffset + h.postingsLength ||
        h.dictOffset > actualSize || (actualSize - h.dictOffset) != uint64_t{h.keyCount} * kDictEntrySize)
        return nullptr;

    std::vector<uint8_t> names, docBytes;
    if (!readAt(in, kHeaderSize, names, pathLen + tableLen) ||
        !readAt(in, docsOffset, docBytes, size_t{h.docCount} * kDocEntrySize))
        return nullptr;
    h.library.path.assign(names.begin(), names.begin() + pathLen);
    h.library.contentTable.assign(names.begin() + pathLen, names.end());
    if (!(h.library == library)) return nullptr;
    header.insert(header.end(), names.begin(), names.end());
    uint32_t crc = headerChecksumStart(header);
    crc = Modcrc32::updateCRC32(crc, docBytes.data(), docBytes.size());

    // The dictionary, read in blocks: its checksum, and keys and offsets strictly ascending
    // (every list holds at least one byte).
    constexpr size_t kBlockEntries = 1 << 16;
    std::vector<uint8_t> block;
    uint64_t previousKey = 0, previousOffset = 0;
    for (uint64_t i = 0; i < h.keyCount; i += kBlockEntries) {
        const size_t entries = static_cast<size_t>(std::min<uint64_t>(kBlockEntries, h.keyCount - i));
        if (!readAt(in, h.dictOffset + i * kDictEntrySize, block, entries * kDictEntrySize)) return nullptr;
        crc = Modcrc32::updateCRC32(crc, block.data(), block.size());
        for (size_t j = 0; j < entries; ++j) {
            const uint8_t* e = block.data() + j * kDictEntrySize;
            const uint64_t key = get32(e), offset = get64(e + 8);
            const bool first = i + j == 0;
            if (first ? offset != 0 : (key <= previousKey || offset <= previousOffset)) return nullptr;
            if (offset >= h.postingsLength) return nullptr;
            previousKey = key;
            previousOffset = offset;
        }
    }
    if (crc != h.checksum || (h.keyCount == 0) != (h.postingsLength == 0)) return nullptr;

    index->docs_.resize(h.docCount);
    for (uint32_t i = 0; i < h.docCount; ++i) {
        const uint8_t* d = docBytes.data() + size_t{i} * kDocEntrySize;
        index->docs_[i] = {static_cast<int32_t>(get32(d)), static_cast<int32_t>(get32(d + 4)),
                           static_cast<int32_t>(get32(d + 8)), get32(d + 12) != 0};
        if (i > 0 && index->docs_[i].id <= index->docs_[i - 1].id) return nullptr;
    }
    index->library_ = h.library;
    index->keyCount_ = h.keyCount;
    index->postingsOffset_ = h.postingsOffset;
    index->postingsLength_ = h.postingsLength;
    index->dictOffset_ = h.dictOffset;
    index->fileSize_ = actualSize;
    if (verifyAll)
        for (uint64_t i = 0; i < index->keyCount_; ++i) {
            const std::optional<DictEntry> e = index->entryAt(i);
            if (!e || !index->readList(*e)) return nullptr;
        }
    return index;
}

bool ContentIndex::current() const {
    const std::optional<LibraryIdentity> now = identityOf(library_.path, library_.contentTable);
    return now && *now == library_;
}

std::optional<DictEntry> ContentIndex::entryAt(uint64_t i) {
    if (i >= keyCount_) return std::nullopt;
    std::vector<uint8_t> bytes;
    const bool last = i + 1 == keyCount_;
    {
        std::lock_guard<std::mutex> hold(readLock_);
        if (!readAt(file_, dictOffset_ + i * kDictEntrySize, bytes, kDictEntrySize * (last ? 1 : 2))) {
            damaged_ = true;
            return std::nullopt;
        }
    }
    DictEntry e{get32(bytes.data()), get32(bytes.data() + 4), get64(bytes.data() + 8), 0};
    const uint64_t end = last ? postingsLength_ : get64(bytes.data() + kDictEntrySize + 8);
    if (end <= e.offset || end > postingsLength_) {
        damaged_ = true;
        return std::nullopt;
    }
    e.length = end - e.offset;
    return e;
}

std::optional<DictEntry> ContentIndex::find(GramKey key) {
    uint64_t low = 0, high = keyCount_;
    std::vector<uint8_t> bytes;
    while (low < high) {
        const uint64_t mid = low + (high - low) / 2;
        {
            std::lock_guard<std::mutex> hold(readLock_);
            if (!readAt(file_, dictOffset_ + mid * kDictEntrySize, bytes, 4)) {
                damaged_ = true;
                return std::nullopt;
            }
        }
        const GramKey at = get32(bytes.data());
        if (at == key) return entryAt(mid);
        if (at < key)
            low = mid + 1;
        else
            high = mid;
    }
    return std::nullopt;
}

std::optional<std::vector<uint32_t>> ContentIndex::readList(const DictEntry& e) {
    std::vector<uint8_t> bytes;
    bool read = false;
    // Each document of a list takes one to five bytes.
    if (e.length <= uint64_t{5} * docs_.size()) {
        std::lock_guard<std::mutex> hold(readLock_);
        read = readAt(file_, postingsOffset_ + e.offset, bytes, static_cast<size_t>(e.length));
    }
    std::vector<uint32_t> ordinals;
    if (read && Modcrc32::updateCRC32(0, bytes.data(), bytes.size()) == e.crc) {
        uint64_t value = 0;
        size_t at = 0;
        bool whole = true;
        while (at < bytes.size() && whole) {
            uint64_t v = 0;
            int shift = 0;
            bool ended = false;
            while (at < bytes.size() && shift < 35 && !ended) {
                const uint8_t b = bytes[at++];
                v |= uint64_t{b & 0x7Fu} << shift;
                shift += 7;
                ended = !(b & 0x80);
            }
            // An unfinished varint, a gap of 0 or a place past the table is damage.
            const bool first = ordinals.empty();
            value = first ? v : value + v;
            whole = ended && (first || v != 0) && value < docs_.size();
            if (whole) ordinals.push_back(static_cast<uint32_t>(value));
        }
        if (whole && !ordinals.empty()) return ordinals;
    }
    damaged_ = true;
    return std::nullopt;
}

std::optional<std::vector<int32_t>> ContentIndex::candidates(const std::vector<uint8_t>& key) {
    if (damaged_) return std::nullopt;
    const std::vector<GramKey> keys = keysOf(key);
    if (keys.empty() || !current()) return std::nullopt;
    std::vector<DictEntry> lists;
    for (GramKey k : keys) {
        const std::optional<DictEntry> e = find(k);
        if (damaged_) return std::nullopt;
        if (!e) return std::vector<int32_t>{};  // a key no document holds
        lists.push_back(*e);
    }
    // The shortest lists first: the intersection shrinks soonest.
    std::sort(lists.begin(), lists.end(), [](const DictEntry& a, const DictEntry& b) {
        return a.length != b.length ? a.length < b.length : a.offset < b.offset;
    });
    lists.erase(std::unique(lists.begin(), lists.end(),
                            [](const DictEntry& a, const DictEntry& b) { return a.offset == b.offset; }),
                lists.end());
    std::optional<std::vector<uint32_t>> found = readList(lists.front());
    if (!found) return std::nullopt;
    for (size_t i = 1; i < lists.size() && !found->empty(); ++i) {
        std::optional<std::vector<uint32_t>> next = readList(lists[i]);
        if (!next) return std::nullopt;
        std::vector<uint32_t> both;
        std::set_intersection(found->begin(), found->end(), next->begin(), next->end(),
                              std::back_inserter(both));
        *found = std::move(both);
    }
    std::vector<int32_t> ids;
    ids.reserve(found->size());
    for (uint32_t ordinal : *found) ids.push_back(docs_[ordinal].id);
    return ids;
}

std::vector<GramKey> keysOf(const std::vector<uint8_t>& key) {
    std::vector<CharCode> chars;
    forEachChar(key.data(), key.size(), [&](CharCode c) { chars.push_back(c); });
    if (!key.empty() && chars.back() == key.back() && beginsDoubleByte(key.back())) chars.pop_back();
    std::vector<GramKey> keys;
    if (chars.size() == 1) keys.push_back(singleKey(chars[0]));
    for (size_t i = 1; i < chars.size(); ++i) keys.push_back(pairKey(chars[i - 1], chars[i]));
    return keys;
}

}  // namespace cindex
