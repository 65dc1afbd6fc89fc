// Finding, making and attaching the content index of a library.
#include "content_index/content_index.h"

#include "store/ctreebook.h"

namespace cindex {

std::shared_ptr<ContentIndex> openCurrentIndex(const std::string& libraryFile,
                                               const std::string& contentTable, bool verifyAll) {
    const std::optional<LibraryIdentity> now = identityOf(libraryFile, contentTable);
    if (!now) return nullptr;
    return ContentIndex::open(indexFileFor(libraryFile, contentTable), *now, verifyAll);
}

Ensured ensureIndex(const std::string& libraryFile, const std::string& treeTable,
                    const std::string& contentTable, const BuildOptions& options) {
    Ensured out;
    if ((out.index = openCurrentIndex(libraryFile, contentTable, true))) {
        out.result = BuildResult::Built;
        out.wasCurrent = true;
        return out;
    }
    const std::string file = indexFileFor(libraryFile, contentTable);
    // A library written to while it was read is read once more; a second change gives up.
    for (int attempt = 0; attempt < 2; ++attempt) {
        out.result = buildIndex(libraryFile, treeTable, contentTable, file, options);
        if (out.result != BuildResult::Changed) break;
    }
    if (out.result == BuildResult::Built) {
        out.index = openCurrentIndex(libraryFile, contentTable);
        if (!out.index) out.result = BuildResult::Changed;
    }
    return out;
}

void attach(store::ctreebook& book, std::shared_ptr<ContentIndex> index) {
    if (!index) {
        book.setContentCandidates(nullptr);
        return;
    }
    book.setContentCandidates([index](const store::Bytes& key) { return index->candidates(key); });
}

}  // namespace cindex
