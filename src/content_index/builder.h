// Building the content index of a library: every document's decoded content, read as the
// content search reads it, walked character by character into posting lists (the walking on a
// thread of its own, beside the reading). Lists are held
// in memory up to a budget, written out as sorted runs when it is reached, and merged into
// the index file at the end; the file is written under a temporary name and renamed over the
// old one, so a reader never sees half an index and two builders never mix their files.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace cindex {

struct BuildOptions {
    // Bytes of posting lists held in memory before a run is written out.
    size_t memoryBudget = size_t{128} << 20;
    // Called now and then with the documents read so far and the number there are.
    std::function<void(uint64_t done, uint64_t total)> progress;
    // Checked after every document: when it turns true the build ends, leaving nothing behind.
    const std::atomic<bool>* stop = nullptr;
};

enum class BuildResult {
    Built,    // the index file is in place
    Stopped,  // the stop flag ended the build
    Changed,  // the library changed while it was read: nothing was kept
    Failed,   // the library could not be read or the index could not be written
};

// Builds the index of libraryFile (tables treeTable and contentTable) into indexFile.
BuildResult buildIndex(const std::string& libraryFile, const std::string& treeTable,
                       const std::string& contentTable, const std::string& indexFile,
                       const BuildOptions& options = {});

}  // namespace cindex
