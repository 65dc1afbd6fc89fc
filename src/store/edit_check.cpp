// Checking stored content against its size and checksum.
#include "store/ctreebook.h"
#include "util/crc32.h"

namespace store {

std::string ctreebook::checkNR(int32_t id) {
    if (!getRecByID2(id)) return "no content row";
    const ContentRecord& nr = currNR_;
    if (nr.size < 0) return "negative size";
    if (nr.size == 0) return nr.crc == 0 || nr.nr.empty() ? "" : "empty content with a checksum";
    // The checksum is taken of the scrambled content, which is what the stream inflates to.
    Bytes bytes = nr.nr;
    if (nr.zed) {
        if (zlib_.DecompressData(bytes, nr.size) != 0) return "content does not inflate";
        if (bytes.size() != static_cast<size_t>(nr.size)) return "content inflates to another size";
    } else {
        if (bytes.size() < static_cast<size_t>(nr.size)) return "content shorter than its size";
        bytes.resize(static_cast<size_t>(nr.size));
    }
    return Modcrc32::getCRC32(bytes) == nr.crc ? "" : "checksum mismatch";
}

}  // namespace store
