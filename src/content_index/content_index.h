// The content index of a library as its users see it: find the current one, make sure there
// is one, and let a store's content searches use it.
#pragma once

#include <memory>
#include <string>

#include "content_index/builder.h"
#include "content_index/index_file.h"

namespace store {
class ctreebook;
}

namespace cindex {

// The index in the cache folder when it is whole and made from the library as it is now;
// nothing otherwise. verifyAll also checks every posting list.
std::shared_ptr<ContentIndex> openCurrentIndex(const std::string& libraryFile,
                                               const std::string& contentTable,
                                               bool verifyAll = false);

struct Ensured {
    BuildResult result = BuildResult::Failed;
    bool wasCurrent = false;              // the index was there already; nothing was built
    std::shared_ptr<ContentIndex> index;  // the current index; null unless Built
};

// The current, fully checked index of the library, built first when it is missing, stale,
// damaged or foreign.
Ensured ensureIndex(const std::string& libraryFile, const std::string& treeTable,
                    const std::string& contentTable, const BuildOptions& options = {});

// Lets book's content searches take their candidates from index (until book opens another
// library or closes).
void attach(store::ctreebook& book, std::shared_ptr<ContentIndex> index);

}  // namespace cindex
