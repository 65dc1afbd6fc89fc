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
    put32(out, e.count);
    put64(out, e.offset);
    put32(out, e.length);
    put32(out, e.crc);
}

uint32_t headerChecksum(const std::vector<uint8_t>& header, const std::vector<uint8_t>& docs,
                        const std::vector<uint8_t>& dict) {
    uint32_t crc = Modcrc32::updateCRC32(0, header.data() + 16, header.size() - 16);
    crc = Modcrc32::updateCRC32(crc, docs.data(), docs.size());
    return Modcrc32::updateCRC32(crc, dict.data(), dict.size());
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

    std::vector<uint8_t> names, docBytes, dictBytes;
    if (!readAt(in, kHeaderSize, names, pathLen + tableLen) ||
        !readAt(in, docsOffset, docBytes, size_t{h.docCount} * kDocEntrySize) ||
        !readAt(in, h.dictOffset, dictBytes, size_t{h.keyCount} * kDictEntrySize))
        return nullptr;
    h.library.path.assign(names.begin(), names.begin() + pathLen);
    h.library.contentTable.assign(names.begin() + pathLen, names.end());
    header.insert(header.end(), names.begin(), names.end());
    if (headerChecksum(header, docBytes, dictBytes) != h.checksum || !(h.library == library))
        return nullptr;

    index->docs_.resize(h.docCount);
    for (uint32_t i = 0; i < h.docCount; ++i) {
        const uint8_t* d = docBytes.data() + size_t{i} * kDocEntrySize;
        index->docs_[i] = {static_cast<int32_t>(get32(d)), static_cast<int32_t>(get32(d + 4)),
                           static_cast<int32_t>(get32(d + 8)), get32(d + 12) != 0};
        if (i > 0 && index->docs_[i].id <= index->docs_[i - 1].id) return nullptr;
    }
    index->dict_.resize(h.keyCount);
    for (uint32_t i = 0; i < h.keyCount; ++i) {
        const uint8_t* e = dictBytes.data() + size_t{i} * kDictEntrySize;
        DictEntry& entry = index->dict_[i];
        entry = {get32(e), get32(e + 4), get64(e + 8), get32(e + 16), get32(e + 20)};
        // Every list holds at least one document, each in one to five bytes.
        if ((i > 0 && entry.key <= index->dict_[i - 1].key) || entry.count == 0 ||
            entry.count > h.docCount || entry.length < entry.count ||
            entry.length > uint64_t{entry.count} * 5 || entry.offset > h.postingsLength ||
            entry.length > h.postingsLength - entry.offset)
            return nullptr;
    }
    index->library_ = h.library;
    index->postingsOffset_ = h.postingsOffset;
    index->fileSize_ = actualSize;
    if (verifyAll)
        for (const DictEntry& e : index->dict_)
            if (!index->readList(e)) return nullptr;
    return index;
}

bool ContentIndex::current() const {
    const std::optional<LibraryIdentity> now = identityOf(library_.path, library_.contentTable);
    return now && *now == library_;
}

const DictEntry* ContentIndex::find(GramKey key) const {
    auto it = std::lower_bound(dict_.begin(), dict_.end(), key,
                               [](const DictEntry& e, GramKey k) { return e.key < k; });
    return it != dict_.end() && it->key == key ? &*it : nullptr;
}

std::optional<std::vector<uint32_t>> ContentIndex::readList(const DictEntry& e) {
    std::vector<uint8_t> bytes;
    {
        std::lock_guard<std::mutex> hold(readLock_);
        if (!readAt(file_, postingsOffset_ + e.offset, bytes, e.length)) bytes.clear();
    }
    std::vector<uint32_t> ordinals;
    if (bytes.size() == e.length && Modcrc32::updateCRC32(0, bytes.data(), bytes.size()) == e.crc) {
        ordinals.reserve(e.count);
        uint64_t value = 0;
        bool first = true;
        size_t at = 0;
        while (at < bytes.size() && ordinals.size() < e.count) {
            uint64_t v = 0;
            int shift = 0;
            for (; at < bytes.size() && shift < 35; shift += 7) {
                const uint8_t b = bytes[at++];
                v |= uint64_t{b & 0x7Fu} << shift;
                if (!(b & 0x80)) break;
            }
            // A gap of 0 or a place past the table is damage.
            if (!first && v == 0) break;
            value = first ? v : value + v;
            first = false;
            if (value >= docs_.size()) break;
            ordinals.push_back(static_cast<uint32_t>(value));
        }
        if (ordinals.size() == e.count && at == bytes.size()) return ordinals;
    }
    damaged_ = true;
    return std::nullopt;
}

std::optional<std::vector<int32_t>> ContentIndex::candidates(const std::vector<uint8_t>& key) {
    if (damaged_) return std::nullopt;
    const std::vector<GramKey> keys = keysOf(key);
    if (keys.empty() || !current()) return std::nullopt;
    std::vector<const DictEntry*> lists;
    for (GramKey k : keys) {
        const DictEntry* e = find(k);
        if (!e) return std::vector<int32_t>{};  // a key no document holds
        lists.push_back(e);
    }
    std::sort(lists.begin(), lists.end(),
              [](const DictEntry* a, const DictEntry* b) { return a->count < b->count; });
    lists.erase(std::unique(lists.begin(), lists.end()), lists.end());
    std::optional<std::vector<uint32_t>> found = readList(*lists.front());
    if (!found) return std::nullopt;
    for (size_t i = 1; i < lists.size() && !found->empty(); ++i) {
        std::optional<std::vector<uint32_t>> next = readList(*lists[i]);
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
