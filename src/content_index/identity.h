// Which library an index belongs to, and where the index of a library is kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cindex {

// A library file as it is now: any write to it changes at least one of these. The change
// counter is the SQLite header's (bytes 24..27); Jet files, which this program never writes,
// have 0.
struct LibraryIdentity {
    std::string path;          // absolute, normalised
    std::string contentTable;  // the table the documents' contents live in
    uint64_t size = 0;
    int64_t mtimeNs = 0;
    uint32_t changeCounter = 0;

    bool operator==(const LibraryIdentity&) const = default;
};

// The identity of libraryFile now; nothing when it is no regular file or cannot be read.
std::optional<LibraryIdentity> identityOf(const std::string& libraryFile,
                                          const std::string& contentTable);

// $XDG_CACHE_HOME/vyne-browser (~/.cache/vyne-browser when unset or not absolute).
std::string cacheFolder();

// The index file of a library: a name made from its absolute path, in cacheFolder().
std::string indexFileFor(const std::string& libraryFile, const std::string& contentTable);

}  // namespace cindex
