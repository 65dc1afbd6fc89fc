// The content index file and its reader.
//
// Layout (little-endian):
//   header     magic "VYNECIX1", version, checksum, the library identity, counts and offsets
//   documents  for each indexed document, in id order: id, size, crc, zed (16 bytes)
//   postings   for each key, the ordinals (places in the document table) of the documents
//              that hold it: the first as a varint, then the gaps as varints
//   dictionary for each key, in ascending order: key, CRC-32 of its list, the list's offset in
//              the postings (16 bytes); a list ends where the next begins
// The header checksum covers everything except the postings; each posting list has its own
// CRC-32, checked when it is read. Nothing read from the file is trusted before its bounds and
// checksum are checked. The dictionary stays on disk: a look-up is a binary search by reads.
#pragma once

#include <atomic>
#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "content_index/grams.h"
#include "content_index/identity.h"

namespace cindex {

constexpr char kMagic[8] = {'V', 'Y', 'N', 'E', 'C', 'I', 'X', '1'};
constexpr uint32_t kVersion = 1;
constexpr size_t kHeaderSize = 88;
constexpr size_t kDocEntrySize = 16;
constexpr size_t kDictEntrySize = 16;
// Bounds on what a header may claim, far above any real library.
constexpr uint32_t kMaxDocs = 1u << 27;
constexpr uint32_t kMaxPath = 1u << 16;

// One indexed document: its id and the content row's fingerprint.
struct DocEntry {
    int32_t id = 0;
    int32_t size = 0;
    int32_t crc = 0;
    bool zed = false;
};

struct DictEntry {
    GramKey key = 0;
    uint32_t crc = 0;     // CRC-32 of the list's bytes
    uint64_t offset = 0;  // from the start of the postings
    uint64_t length = 0;  // bytes (not stored: up to the next list)
};

// The fixed header fields after the magic.
struct Header {
    uint32_t version = kVersion;
    uint32_t checksum = 0;
    LibraryIdentity library;
    uint32_t docCount = 0;
    uint32_t keyCount = 0;
    uint64_t postingsOffset = 0;
    uint64_t postingsLength = 0;
    uint64_t dictOffset = 0;
    uint64_t fileSize = 0;
};

// The header's bytes (kHeaderSize, then the path and the table name).
std::vector<uint8_t> encodeHeader(const Header& h);
std::vector<uint8_t> encodeDocs(const std::vector<DocEntry>& docs);
void appendDictEntry(std::vector<uint8_t>& out, const DictEntry& e);
// The checksum of a file begins with the header bytes after the checksum field and goes on
// over the documents and the dictionary.
uint32_t headerChecksumStart(const std::vector<uint8_t>& header);
// Appends v as a little-endian base-128 varint.
void appendVarint(std::vector<uint8_t>& out, uint32_t v);

// An index opened for answering. Safe to use from one thread at a time for candidates(), and
// to share between threads (reads are serialised).
class ContentIndex {
public:
    // Opens indexFile when it is a whole, undamaged index of exactly this library state;
    // nothing otherwise. verifyAll also checks every posting list's checksum.
    static std::shared_ptr<ContentIndex> open(const std::string& indexFile,
                                              const LibraryIdentity& library, bool verifyAll = false);

    // The ids (ascending) of the indexed documents whose content may hold key's bytes at a
    // character boundary: a superset of those that do. Nothing when the index cannot tell:
    // the key has no whole character, the library changed since it was indexed, or the index
    // proved damaged (it is then never used again).
    std::optional<std::vector<int32_t>> candidates(const std::vector<uint8_t>& key);

    // Whether the library file is still in the state the index was made from.
    bool current() const;
    bool damaged() const { return damaged_; }
    const LibraryIdentity& library() const { return library_; }
    const std::vector<DocEntry>& documents() const { return docs_; }
    // Index bytes on disk.
    uint64_t fileSize() const { return fileSize_; }

private:
    ContentIndex() = default;
    // The ordinals of one posting list; nothing (and damaged) when it fails its checks.
    std::optional<std::vector<uint32_t>> readList(const DictEntry& e);
    // The dictionary entry of key, or of place i; nothing when absent or unreadable.
    std::optional<DictEntry> find(GramKey key);
    std::optional<DictEntry> entryAt(uint64_t i);

    LibraryIdentity library_;
    std::vector<DocEntry> docs_;
    uint64_t keyCount_ = 0;
    uint64_t postingsOffset_ = 0, postingsLength_ = 0, dictOffset_ = 0;
    uint64_t fileSize_ = 0;
    std::mutex readLock_;
    std::ifstream file_;
    std::atomic<bool> damaged_{false};
};

}  // namespace cindex
